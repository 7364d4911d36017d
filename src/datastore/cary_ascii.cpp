// The comma-separated export of Cary spectrophotometers: a line of sample names, a line
// naming x and y of each sample, then rows holding an x and a y for each sample side by
// side. A shorter sample's cells are empty where it has ended; the rows end at an empty
// line, a row of commas or the end of the file; the method and collection text follows.

#include <stdexcept>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/spectrum_set.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

constexpr const char* kUnrecognised = "The file is of an unrecognised format\n";

// Blank, or only commas and blanks: the end of the rows.
bool isEmptyRow(std::string_view line) { return line.find_first_not_of(" \t\r,") == std::string_view::npos; }

std::vector<std::string_view> cellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    cells.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return cells;
}

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// "x", one non-blank character, "y" (blanks allowed between them): the first sample's
// cells; the rest of the line is not looked at.
bool parseFirstPair(std::string_view line, float& x, float& y) {
  text::TextCursor row{std::string(line)};
  row.skipBlanks();
  if (!row.floatHere(x)) return false;
  row.skipBlanks();
  if (row.atEnd()) return false;
  row.seek(row.position() + 1);
  row.skipBlanks();
  return row.floatHere(y);
}

// A cell holding one number and nothing else but blanks.
bool numberCell(std::string_view cell, float& value) {
  const std::string text = trimmed(cell);
  return !text.empty() && text::parseFloat(text, value) == text.size();
}

// Commas dropped, every run of blanks made one blank.
std::string tidyHeaderLine(std::string_view line) {
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

// Commas made blanks, runs of blanks one blank, none at either end.
std::string tidyRemark(std::string_view line) {
  std::string out;
  for (char ch : line) {
    if (ch == ',' || ch == '\t' || ch == '\r') ch = ' ';
    if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(ch);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::size_t readCaryPart(DataStore& store, std::istream& in, std::size_t part) {
  store.attributes.cfrCompliant = false;
  SpectrumSet set;
  set.traceDimension = "Sample";
  set.wavelengthBesideOtherX = true;
  {
    auto c = text::TextCursor::fromStart(in);
    c.normaliseLineEnds();
    auto unrecognised = [&](const std::string& why) { refuseWith(kUnrecognised, "Cary file: " + why); };
    std::string_view line;

    c.skipWs();
    if (!c.lineView(line)) unrecognised("the file is empty.");
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    const std::vector<std::string_view> sampleCells = cellsOf(line);
    std::string title(line);
    if (std::size_t comma = title.find(','); comma != std::string::npos) {
      std::size_t second = title.find(',', comma + 1);
      title.resize(second == std::string::npos ? comma : second);
    }
    set.title = title;

    c.skipWs();
    if (!c.lineView(line)) unrecognised("there is no line naming the columns after the title.");
    const std::vector<std::string_view> headings = cellsOf(line);

    // One sample per pair of columns that has a heading.
    struct Sample {
      std::size_t column;
      bool ended = false;
      Spectrum spectrum;
    };
    std::vector<Sample> samples;
    for (std::size_t column = 0; column + 1 < headings.size() || column == 0; column += 2) {
      Sample sample{column, false, {}};
      sample.spectrum.xName = trimmed(headings[column]);
      std::string property = column + 1 < headings.size() ? trimmed(headings[column + 1]) : std::string();
      if (column == 0) {
        // The first sample's names are taken as the file writes them.
        sample.spectrum.xName = std::string(headings[0]);
        property = column + 1 < headings.size() ? std::string(headings[1]) : std::string();
      } else if (sample.spectrum.xName.empty()) {
        break;
      }
      if (property == "Abs") property = "Absorbance";
      sample.spectrum.property = property;
      sample.spectrum.traceName = column < sampleCells.size() ? trimmed(sampleCells[column]) : std::string();
      samples.push_back(std::move(sample));
      if (column + 1 >= headings.size()) break;
    }

    c.skipWs();
    std::size_t rows = 0;
    while (true) {
      const std::size_t lineAt = c.position();
      if (!c.lineView(line) || isEmptyRow(line)) break;
      float x = 0.0f, y = 0.0f;
      if (!parseFirstPair(line, x, y)) {
        // Only empty cells end the first sample early; anything else is a broken row.
        const std::vector<std::string_view> cells = cellsOf(line);
        const bool emptyCells = rows > 0 && cells.size() > 2 && trimmed(cells[0]).empty() && trimmed(cells[1]).empty();
        if (!emptyCells)
          unrecognised("line " + std::to_string(c.lineNumberAt(lineAt)) + ": " + quoted(line) +
                       " is not a row of two numbers parted by a comma.");
        samples.front().ended = true;
      } else if (!samples.front().ended) {
        samples.front().spectrum.x.push_back(x);
        samples.front().spectrum.y.push_back(y);
      }
      const std::vector<std::string_view> cells = samples.size() > 1 ? cellsOf(line) : std::vector<std::string_view>{};
      for (std::size_t s = 1; s < samples.size(); ++s) {
        Sample& sample = samples[s];
        if (sample.ended) continue;
        float sx = 0.0f, sy = 0.0f;
        const std::size_t column = sample.column;
        if (column + 1 < cells.size() && numberCell(cells[column], sx) && numberCell(cells[column + 1], sy)) {
          sample.spectrum.x.push_back(sx);
          sample.spectrum.y.push_back(sy);
        } else {
          // An empty (or unreadable) cell ends a shorter sample.
          sample.ended = true;
        }
      }
      ++rows;
    }
    if (rows == 0) unrecognised("there are no data rows after the line naming the columns.");

    // The method and collection text: its first paragraph as header lines, the rest as remarks.
    bool firstParagraph = true;
    while (c.lineView(line)) {
      if (isEmptyRow(line)) {
        if (!store.headerLines.empty() || !firstParagraph) firstParagraph = false;
        continue;
      }
      if (firstParagraph)
        store.headerLines.push_back(tidyHeaderLine(line));
      else
        set.remarks.push_back(tidyRemark(line));
    }
    for (auto& sample : samples)
      if (!sample.spectrum.y.empty()) set.spectra.push_back(std::move(sample.spectrum));
  }
  // A lone sample is not named: its store has no trace dimension.
  if (set.spectra.size() == 1) set.spectra.front().traceName.clear();
  return fillPart(store, set, part, in, "Cary file");
}

void readCary(DataStore& store, std::istream& in) { readCaryPart(store, in, 0); }

}  // namespace lumatix::datastore
