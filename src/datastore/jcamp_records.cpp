#include "datastore/jcamp_records.h"

#include "datastore/import_text.h"

namespace lumatix::datastore::jcamp {

std::string_view trim(std::string_view v) {
  std::size_t first = v.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  std::size_t last = v.find_last_not_of(" \t\r");
  return v.substr(first, last - first + 1);
}

namespace {

std::string_view withoutComment(std::string_view v) {
  std::size_t comment = v.find("$$");
  return comment == std::string_view::npos ? v : v.substr(0, comment);
}

// Where the "##" of a record line starts, or npos.
std::size_t recordStart(std::string_view line) {
  std::size_t start = 0;
  if (line.substr(0, 3) == "\xEF\xBB\xBF") start = 3;  // a UTF-8 byte-order mark
  start = line.find_first_not_of(" \t", start);
  if (start == std::string_view::npos || line.compare(start, 2, "##") != 0) return std::string_view::npos;
  return start;
}

}  // namespace

std::vector<Record> splitRecords(std::string_view text, std::vector<std::string>* comments) {
  std::vector<Record> records;
  std::size_t at = 0;
  std::size_t lineNumber = 0;
  Record* open = nullptr;
  std::size_t bodyStart = 0;
  auto closeBody = [&](std::size_t end) {
    if (open) open->body = text.substr(bodyStart, end - bodyStart);
  };
  while (at < text.size()) {
    ++lineNumber;
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    const std::size_t start = recordStart(line);
    if (start != std::string_view::npos) {
      closeBody(at);
      Record r;
      const std::size_t equals = line.find('=', start);
      const std::size_t nameEnd = equals == std::string_view::npos ? line.size() : equals;
      r.name = trim(line.substr(start + 2, nameEnd - start - 2));
      r.label = jcampLabel(line);
      r.value = equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
      r.line = lineNumber;
      r.bodyLine = lineNumber + 1;
      records.push_back(r);
      open = &records.back();
      bodyStart = end < text.size() ? end + 1 : end;
    } else if (comments && (!open || open->label == "END" || open->label == "TITLE" || open->label == "JCAMPDX")) {
      // Comment lines among the header records, and text before the first record.
      std::string_view t = trim(line);
      if (t.substr(0, 2) == "$$") t = trim(t.substr(2));
      if (!t.empty() && !open) comments->emplace_back(t);
      else if (!t.empty() && trim(line).substr(0, 2) == "$$") comments->emplace_back(t);
    }
    at = end < text.size() ? end + 1 : end;
  }
  closeBody(text.size());
  return records;
}

std::string textValue(const Record& record) {
  std::string out(trim(withoutComment(record.value)));
  std::string_view body = record.body;
  while (!body.empty()) {
    std::size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
    const std::string_view part = trim(withoutComment(line));
    if (part.empty()) continue;
    if (!out.empty()) out.push_back(' ');
    out.append(part);
  }
  return out;
}

}  // namespace lumatix::datastore::jcamp
