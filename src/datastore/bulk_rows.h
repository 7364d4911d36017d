#pragma once
// The rows of a file of columns read in bulk, in one pass over the text and in parts on
// several threads at once. Only lines of exactly the expected count of plain numbers are
// read so (blank-free cells, decimal points, no empty cell, no trailing not-a-number);
// every other line is left to the line by line reading of delimited_rows, which decides
// what it is. The values are therefore exactly the ones that reading would give.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "datastore/delimited_rows.h"

namespace lumatix::datastore::text {

// The threads a reader may use for one file: the processors, at most 8.
unsigned readerThreads();

// How a large text is read in parts: at most `threads` at once, none shorter than
// smallestPart (a thread costs more than reading a short part).
struct Parts {
  unsigned threads = readerThreads();
  std::size_t smallestPart = 2u << 20;
};

// Runs read(k) for every part k < count at once: part 0 on the calling thread, the others
// on threads of their own. Returns when all have ended, rethrowing the first failure.
void readInParts(std::size_t count, const std::function<void(std::size_t)>& read);

// Reserves room for n more values; a large reservation asks for huge pages, so that
// filling it costs a page fault per 2 MiB rather than per 4 KiB. Only the pages written
// are taken.
void reserveValues(std::vector<float>& values, std::size_t n);

// What a part read on a thread has passed of a mapped file's text, let go a step at a time
// (the cursor does the same for the text it passes itself).
class PassedText {
 public:
  // release: the cursor's TextCursor::pageRelease(); offset: where text position 0 lies
  // in the cursor's text; at: where the part starts.
  PassedText(const std::function<void(std::size_t, std::size_t)>& release, std::size_t offset, std::size_t at)
      : release_(release), offset_(offset), released_(at) {}
  void passed(std::size_t pos) {
    if (release_ && pos >= released_ + kStep + kKeptBehind) {
      release_(offset_ + released_, offset_ + pos - kKeptBehind);
      released_ = pos - kKeptBehind;
    }
  }

 private:
  static constexpr std::size_t kStep = 16u << 20;
  static constexpr std::size_t kKeptBehind = 1u << 20;
  const std::function<void(std::size_t, std::size_t)>& release_;
  std::size_t offset_, released_;
};

// Reads the rows of text[at, end) that are `columns.size()` plain numbers in the
// separator's form, appending each row's values to columns; a line holding only its line
// feed is skipped. Returns the start of the first other line, or end. `at` and `end` must
// be line starts (or the end of the text).
std::size_t readPlainRows(std::string_view text, std::size_t at, std::size_t end, Separator separator,
                          std::vector<std::vector<float>>& columns, PassedText* passed = nullptr);

class BulkRows {
 public:
  // text: the rows' text from the first row to the end of the file; columns: one vector
  // per column, which the rows are appended to.
  // release and offset, when given: how the parts let go of the pages they have read
  // (TextCursor::pageRelease, and where the text starts in the cursor's).
  BulkRows(std::string_view text, Separator separator, std::vector<std::vector<float>>& columns, Parts parts,
           std::function<void(std::size_t, std::size_t)> release = {}, std::size_t offset = 0);

  // Appends the rows from `at` (the start of a line) to the first line left to the caller
  // and returns that line's start, or the size of the text at its end. The first call
  // reads the whole text from `at` in parts; later calls take the parts already read once
  // the caller has dealt with the line before them.
  std::size_t advance(std::size_t at);

 private:
  struct Part {
    std::size_t begin = 0, end = 0, stop = 0;
    std::vector<std::vector<float>> columns;  // empty for the first part, read in place
  };

  void readParts(std::size_t at);

  std::string_view text_;
  Separator separator_;
  std::vector<std::vector<float>>& columns_;
  Parts policy_;
  std::function<void(std::size_t, std::size_t)> release_;
  std::size_t offset_;
  bool started_ = false;
  std::vector<Part> parts_;
  std::size_t next_ = 0;  // the first part not yet taken
};

}  // namespace lumatix::datastore::text
