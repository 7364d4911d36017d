#pragma once
// The labelled records of a JCAMP-DX text: "##LABEL= value", the lines up to the next
// record belonging to it (continued text, or the data lines of a data record). Labels are
// compared as the format says: blanks, case, "-", "_" and "/" do not count.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumatix::datastore::jcamp {

struct Record {
  std::string label;        // "DATATYPE" for "## Data Type="
  std::string_view name;    // the label as written, "Data Type"
  std::string_view value;   // the text after "=" on the record's own line
  std::string_view body;    // the lines after it, up to the next record (may be empty)
  std::size_t line = 0;     // the record's line, counted from 1
  std::size_t bodyLine = 0; // the body's first line
};

// Splits the text into its records, in order. Lines before the first record and "$$"
// comment lines between records are not records; they are returned as comments (without
// "$$") when comments is given.
std::vector<Record> splitRecords(std::string_view text, std::vector<std::string>* comments = nullptr);

// The value with its "$$" comment and surrounding blanks removed; continuation lines of the
// body joined to it with single blanks (for a text record spread over several lines).
std::string textValue(const Record& record);

// The text of v with leading and trailing blanks, tabs and carriage returns removed.
std::string_view trim(std::string_view v);

}  // namespace lumatix::datastore::jcamp
