#include "datastore/bulk_rows.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <thread>

#include "datastore/text_number.h"

namespace lumatix::datastore::text {
namespace {

// The most rows n characters can hold: a row of count numbers takes at least one
// character per number, one per separator and its line feed.
std::size_t rowsThatFit(std::size_t n, std::size_t count) { return (n + 1) / (2 * count) + 1; }

void reserveMore(std::vector<std::vector<float>>& columns, std::size_t rows) {
  for (auto& column : columns) reserveValues(column, rows);
}

}  // namespace

unsigned readerThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

void readInParts(std::size_t count, const std::function<void(std::size_t)>& read) {
  std::vector<std::exception_ptr> failures(count);
  auto guarded = [&](std::size_t k) {
    try {
      read(k);
    } catch (...) {
      failures[k] = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  for (std::size_t k = 1; k < count; ++k) helpers.emplace_back(guarded, k);
  if (count > 0) guarded(0);
  for (auto& helper : helpers) helper.join();
  for (const auto& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

void reserveValues(std::vector<float>& values, std::size_t n) {
  constexpr std::uintptr_t kHugePage = 2u << 20;
  if (values.capacity() - values.size() >= n) return;
  values.reserve(values.size() + n);
  const auto first = reinterpret_cast<std::uintptr_t>(values.data() + values.size());
  const auto last = reinterpret_cast<std::uintptr_t>(values.data() + values.capacity());
  const std::uintptr_t from = (first + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t to = last & ~(kHugePage - 1);
#ifdef MADV_HUGEPAGE
  // Advice only: where it is not taken, the pages are small.
  if (from < to) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
}

std::size_t readPlainRows(std::string_view text, std::size_t at, std::size_t end, Separator separator,
                          std::vector<std::vector<float>>& columns, PassedText* passed) {
  const std::size_t count = columns.size();
  if (count == 0) return at;
  const char sep = separator == Separator::Tab         ? '\t'
                   : separator == Separator::Semicolon ? ';'
                   : separator == Separator::Comma     ? ','
                                                       : '\0';
  // Blanks around cells: a tab is one, except where it parts the cells.
  const bool tabIsBlank = separator != Separator::Tab;
  const auto isBlank = [tabIsBlank](char ch) { return ch == ' ' || ch == '\r' || (tabIsBlank && ch == '\t'); };
  std::vector<float> row(count);
  const char* const base = text.data();
  const char* const last = base + end;
  const char* p = base + at;
  while (p < last) {
    const char* const line = p;
    if (*p == '\n') {
      ++p;
      continue;
    }
    std::size_t k = 0;
    bool whole = false;
    while (true) {
      while (p < last && isBlank(*p)) ++p;
      float value = 0.0f;
      const std::size_t used = parseFloatAt(p, last, value);
      if (used == 0 || k == count) break;
      row[k++] = value;
      p += used;
      const char* const after = p;
      while (p < last && isBlank(*p)) ++p;
      if (p == last || *p == '\n') {
        // A trailing not-a-number counts as padding in the line by line reading.
        whole = k == count && !std::isnan(value);
        break;
      }
      if (*p == sep) {
        ++p;
        continue;
      }
      // Blank-separated cells: the number must have ended at a blank.
      if (sep != '\0' || p == after) break;
    }
    if (!whole) return static_cast<std::size_t>(line - base);
    for (std::size_t c = 0; c < count; ++c) columns[c].push_back(row[c]);
    if (p < last) ++p;  // the line feed
    if (passed) passed->passed(static_cast<std::size_t>(p - base));
  }
  return end;
}

BulkRows::BulkRows(std::string_view text, Separator separator, std::vector<std::vector<float>>& columns,
                   Parts parts, std::function<void(std::size_t, std::size_t)> release, std::size_t offset)
    : text_(text),
      separator_(separator),
      columns_(columns),
      policy_(parts),
      release_(std::move(release)),
      offset_(offset) {}

void BulkRows::readParts(std::size_t at) {
  const std::size_t size = text_.size();
  const std::size_t count = columns_.size();
  const std::size_t wanted = std::clamp<std::size_t>((size - at) / std::max<std::size_t>(policy_.smallestPart, 1), 1,
                                                     std::max(policy_.threads, 1u));
  // Parts of about equal length, each from the start of a line.
  std::vector<std::size_t> starts{at};
  for (std::size_t i = 1; i < wanted; ++i) {
    const std::size_t from = std::max(at + (size - at) / wanted * i, starts.back());
    const std::size_t lineEnd = text_.find('\n', from);
    if (lineEnd == std::string_view::npos || lineEnd + 1 >= size) break;
    if (lineEnd + 1 > starts.back()) starts.push_back(lineEnd + 1);
  }
  parts_.resize(starts.size());
  for (std::size_t i = 0; i < starts.size(); ++i) {
    parts_[i].begin = starts[i];
    parts_[i].end = i + 1 < starts.size() ? starts[i + 1] : size;
  }
  // The first part is read into the columns themselves, the others beside them; room for
  // every row the text can hold is reserved at once (only what is written is touched).
  reserveMore(columns_, rowsThatFit(size - at, count));
  for (std::size_t i = 1; i < parts_.size(); ++i) {
    parts_[i].columns.resize(count);
    reserveMore(parts_[i].columns, rowsThatFit(parts_[i].end - parts_[i].begin, count));
  }
  readInParts(parts_.size(), [&](std::size_t i) {
    Part& part = parts_[i];
    PassedText passed(release_, offset_, part.begin);
    part.stop = readPlainRows(text_, part.begin, part.end, separator_, i == 0 ? columns_ : part.columns, &passed);
  });
}

std::size_t BulkRows::advance(std::size_t at) {
  if (!started_) {
    started_ = true;
    readParts(at);
    // The first part was read in place and is taken at once.
    next_ = 1;
    if (parts_.front().stop != parts_.front().end) return parts_.front().stop;
    at = parts_.front().end;
  }
  while (next_ < parts_.size()) {
    Part& part = parts_[next_];
    if (at < part.begin) {
      // The caller read a line of the part before: read on to this part's start.
      at = readPlainRows(text_, at, part.begin, separator_, columns_);
      if (at != part.begin) return at;
    }
    ++next_;
    if (at > part.begin) {
      // The caller has gone past the part's start: its rows are not the ones that follow.
      std::vector<std::vector<float>>().swap(part.columns);
      continue;
    }
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      columns_[c].insert(columns_[c].end(), part.columns[c].begin(), part.columns[c].end());
      std::vector<float>().swap(part.columns[c]);
    }
    at = part.stop;
    if (part.stop != part.end) return at;
  }
  return readPlainRows(text_, at, text_.size(), separator_, columns_);
}

}  // namespace lumatix::datastore::text
