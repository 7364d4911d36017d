#include <stdexcept>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

constexpr const char* kUnrecognised = "The file is of an unrecognised format\n";

bool isBlankLine(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

// "x", one non-blank character, "y" (blanks allowed between them); the rest of the line is
// not looked at.
bool parseRow(const std::string& line, float& x, float& y) {
  text::TextCursor row(line);
  row.skipBlanks();
  if (!row.floatHere(x)) return false;
  row.skipBlanks();
  if (row.atEnd()) return false;
  row.seek(row.position() + 1);
  row.skipBlanks();
  return row.floatHere(y);
}

// Commas dropped, every run of blanks made one blank.
std::string tidyHeaderLine(const std::string& line) {
  std::string out;
  for (char ch : line) {
    if (ch == ',') continue;
    if (ch == ' ' || ch == '\t') {
      if (!out.empty() && out.back() == ' ') continue;
      ch = ' ';
    }
    out.push_back(ch);
  }
  return out;
}

}  // namespace

void readCary(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  std::string line;
  auto unrecognised = [&](const std::string& why) { refuseWith(kUnrecognised, "Cary file: " + why); };

  c.skipWs();
  if (!c.line(line)) unrecognised("the file is empty.");
  std::size_t comma = line.find(',');
  if (comma != std::string::npos) {
    std::size_t second = line.find(',', comma + 1);
    line.resize(second == std::string::npos ? comma : second);
  }
  store.title = line;

  c.skipWs();
  if (!c.line(line)) unrecognised("there is no line naming the columns after the title.");
  comma = line.find(',');
  std::string xName = line.substr(0, comma);
  std::string property;
  if (comma != std::string::npos) {
    std::size_t next = line.find(',', comma + 1);
    property = line.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
  }
  if (property == "Abs") property = "Absorbance";

  // One row per line until an empty line; the loop moves on by a line each pass, so it ends
  // at the end of the text whatever the text holds.
  std::vector<float> x, y;
  c.skipWs();
  bool ended = false;
  while (true) {
    const std::size_t lineAt = c.position();
    if (!c.line(line)) break;
    if (isBlankLine(line)) {
      ended = true;
      break;
    }
    float xv = 0.0f, yv = 0.0f;
    if (!parseRow(line, xv, yv))
      unrecognised("line " + std::to_string(c.lineNumberAt(lineAt)) + ": " + quoted(line) +
                   " is not a row of two numbers parted by a comma.");
    x.push_back(xv);
    y.push_back(yv);
  }
  if (x.empty()) unrecognised("there are no data rows after the line naming the columns.");
  if (!ended) unrecognised("the data rows are not ended by an empty line.");

  store.headerLines.clear();
  while (c.line(line) && !isBlankLine(line)) store.headerLines.push_back(tidyHeaderLine(line));

  store.dimensions = Array<Dimension>(std::vector<Dimension>{Dimension(xName, x)});
  if (store.dimensions[0].name.compare(0, 10, "Wavelength") != 0)
    store.dimensions.push_back(Dimension("Wavelength", {0.0f}));
  store.properties = Array<std::string>(std::vector<std::string>{property});
  if (!store.initialise()) unrecognised("there is not enough memory for its values.");
  std::copy(y.begin(), y.end(), store.data.data);
  store.computeRange();
}

}  // namespace lumatix::datastore
