// Columns of numbers, the last resort for a file of no known format: lines of text before
// the numbers (a header, a ">>>>>Begin Spectral Data<<<<<" block), an optional row naming
// the columns, then rows of numbers parted by tabs, semicolons, commas or blanks. The first
// column is x, every further column a trace. A file whose numbers are not the bulk of it is
// not taken for columns.

#include <algorithm>
#include <string>
#include <vector>

#include "datastore/bulk_rows.h"
#include "datastore/data_store.h"
#include "datastore/delimited_rows.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/quantity_names.h"
#include "datastore/spectrum_set.h"
#include "datastore/text_cursor.h"

namespace lumatix::datastore {
namespace {

// Lines of text before the numbers beyond which a file is not taken for columns.
constexpr std::size_t kMostLeadingLines = 1000;
// A block of fewer rows is too little to tell numbers from text.
constexpr std::size_t kFewestRows = 3;
// Rows that must agree in shape before a block counts as the data.
constexpr std::size_t kRowsToConfirm = 3;

bool hasControlBytes(std::string_view line) {
  for (char ch : line) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte == 0 || byte == 0x7F || (byte < 0x20 && ch != '\t' && ch != '\r' && ch != '\f' && ch != '\v')) return true;
  }
  return false;
}

bool isEmptyLine(std::string_view line) { return text::trim(line).empty(); }

std::string columnName(std::string_view cell) {
  std::string name(text::trim(cell));
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
    name = name.substr(1, name.size() - 2);
  return name;
}

}  // namespace

ColumnsRead readColumnsPart(DataStore& store, std::istream& in, std::size_t part) {
  store.attributes.cfrCompliant = false;
  ColumnsRead result;
  SpectrumSet set;
  set.traceDimension = "Column";
  {
    auto c = text::TextCursor::fromStart(in);
    c.normaliseLineEnds();
    if (c.rest().substr(0, 3) == "\xEF\xBB\xBF") c.seek(3);
    std::vector<std::string_view> leading;
    std::string_view line;
    text::RowShape shape;
    std::size_t count = 0;
    std::size_t blockAt = 0;
    bool found = false;
    std::vector<float> row;
    // The first line that starts a run of rows of one shape.
    while (!found) {
      const std::size_t at = c.position();
      if (!c.lineView(line)) break;
      if (isEmptyLine(line)) continue;
      if (hasControlBytes(line)) return result;
      auto guess = text::guessShape(line);
      if (guess) {
        parseRow(line, *guess, row);
        const std::size_t n = row.size();
        std::size_t agreeing = 1;
        std::string_view next;
        while (agreeing < kRowsToConfirm && c.lineView(next)) {
          if (isEmptyLine(next)) continue;
          if (!parseRowAdapting(next, *guess, row) || row.size() != n) break;
          ++agreeing;
        }
        if (agreeing == kRowsToConfirm || (agreeing > 0 && c.atEnd() && leading.empty() && agreeing >= 2)) {
          found = true;
          shape = *guess;
          count = n;
          blockAt = at;
          break;
        }
        c.seek(at);
        c.skipLine();
      }
      leading.push_back(line);
      if (leading.size() > kMostLeadingLines) return result;
    }
    if (!found) return result;

    // The rows.
    std::vector<std::vector<float>> columns(count);
    c.seek(blockAt);
    // Rows of plain numbers are read in bulk; whatever else a line is, is decided below.
    text::BulkRows bulk(c.rest(), shape.separator, columns, text::Parts{}, c.pageRelease(), blockAt);
    std::vector<std::string_view> trailing;
    std::size_t endedAt = 0;
    std::string_view endedLine;
    while (true) {
      c.seek(blockAt + bulk.advance(c.position() - blockAt));
      const std::size_t at = c.position();
      if (!c.lineView(line)) break;
      if (isEmptyLine(line)) continue;
      if (parseRowAdapting(line, shape, row)) {
        if (row.size() != count) {
          result.columns = true;
          refuse(in, "Columns of numbers: line " + std::to_string(c.lineNumberAt(at)) + ": " + std::to_string(row.size()) +
                         (row.size() == 1 ? " value where " : " values where ") + std::to_string(count) +
                         " were expected.");
          return result;
        }
        for (std::size_t k = 0; k < count; ++k) columns[k].push_back(row[k]);
        continue;
      }
      endedAt = at;
      endedLine = line;
      break;
    }
    if (endedAt != 0) {
      c.seek(endedAt);
      while (c.lineView(line)) {
        if (isEmptyLine(line)) continue;
        if (hasControlBytes(line)) return result;
        if (parseRow(line, shape, row) && row.size() == count) {
          result.columns = true;
          refuse(in, "Columns of numbers: line " + std::to_string(c.lineNumberAt(endedAt)) + ": " + quoted(endedLine) +
                         " interrupts the rows of numbers.");
          return result;
        }
        trailing.push_back(line);
      }
    }
    const std::size_t rows = columns[0].size();
    const std::size_t textLines = leading.size() + trailing.size();
    if (rows < kFewestRows && !(rows >= 2 && textLines == 0)) return result;
    if (rows * 2 < textLines) return result;
    result.columns = true;

    // A last line before the numbers with a cell for every column names them.
    std::vector<std::string> names;
    if (!leading.empty()) {
      std::string_view heading = text::trim(leading.back());
      // "# time abs" and "% time abs": the mark of a comment line is not a column's name.
      if (!heading.empty() && (heading.front() == '#' || heading.front() == '%')) heading.remove_prefix(1);
      std::vector<std::string_view> cells = text::cellsOf(heading, shape.separator);
      if (!cells.empty() && cells.front().empty()) cells.erase(cells.begin());
      while (!cells.empty() && cells.back().empty()) cells.pop_back();
      float ignored = 0.0f;
      const bool allNumbers = std::all_of(cells.begin(), cells.end(), [&](std::string_view cell) {
        return text::parseCell(cell, shape.decimalComma, ignored);
      });
      if (cells.size() == count && !allNumbers) {
        for (auto cell : cells) names.push_back(columnName(cell));
        leading.pop_back();
      }
    }
    set.title = leading.empty() ? std::string("Columns Import Data") : std::string(text::trim(leading.front()));
    for (auto l : leading) set.remarks.emplace_back(text::trim(l));
    for (auto l : trailing) set.remarks.emplace_back(text::trim(l));

    const Quantity xq = quantityOf(names.empty() ? std::string_view() : std::string_view(names[0]));
    std::vector<float> x = std::move(columns[0]);
    if (xq.known && xq.scale != 1.0)
      for (float& v : x) v = static_cast<float>(v * xq.scale);
    // Columns of distinct known quantities (CD, HT, absorbance) are properties; any other
    // columns are traces of one property, so that the file stays one store.
    std::vector<std::string> quantities;
    for (std::size_t k = 1; k < count && !names.empty(); ++k) {
      const Quantity yq = quantityOf(names[k]);
      if (!yq.known || std::find(quantities.begin(), quantities.end(), yq.name) != quantities.end()) break;
      quantities.push_back(yq.name);
    }
    const bool byQuantity = quantities.size() + 1 == count;
    for (std::size_t k = 1; k < count; ++k) {
      Spectrum s;
      s.xName = names.empty() || names[0].empty() ? "X Data" : xq.name;
      s.property = byQuantity ? quantities[k - 1] : count == 2 && !names.empty() && !names[k].empty() ? names[k] : "Y Data";
      s.traceName = names.empty() ? std::string() : names[k];
      // The columns share the first column's x.
      if (k == 1)
        s.x = std::move(x);
      else
        s.xOfPrevious = true;
      s.y = std::move(columns[k]);
      set.spectra.push_back(std::move(s));
    }
    if (set.spectra.size() == 1) set.spectra.front().traceName.clear();
  }
  result.parts = fillPart(store, set, part, in, "Columns of numbers");
  return result;
}

}  // namespace lumatix::datastore
