// The text export of CD and UV-Vis spectrometers: header lines of a key and a value
// ("TITLE", "DATA TYPE", "ORIGIN", ..., "XUNITS", "YUNITS", "Y2UNITS", "NPOINTS"), a line
// "XYDATA", rows of x and one or more channels, then extended information. Cells are
// parted by tabs (or commas in the comma-separated variant); decimal commas are read.

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/delimited_rows.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/quantity_names.h"
#include "datastore/spectrum_set.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

// The first cell of a header line and the rest, parted at the first tab (or comma).
void splitKey(std::string_view line, std::string& key, std::string& value) {
  std::size_t at = line.find('\t');
  if (at == std::string_view::npos) at = line.find(',');
  key = std::string(text::trim(line.substr(0, at)));
  value.clear();
  if (at == std::string_view::npos) return;
  std::string_view rest = line.substr(at + 1);
  // The comma-separated variant pads values with commas.
  while (!rest.empty() && (rest.back() == ',' || rest.back() == '\t' || rest.back() == ' ' || rest.back() == '\r'))
    rest.remove_suffix(1);
  value = std::string(text::trim(rest));
}

std::string remarkOf(const std::string& key, const std::string& value) {
  return value.empty() ? key : key + ": " + value;
}

bool isDataStart(std::string_view line) {
  std::string key, value;
  splitKey(line, key, value);
  return upper(key) == "XYDATA" && value.empty();
}

}  // namespace

bool looksLikeSpectrometerText(std::string_view start) {
  if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
  if (start.substr(0, 5) != "TITLE" || start.size() < 6 || (start[5] != '\t' && start[5] != ',')) return false;
  // An "XYDATA" line among the first lines.
  std::size_t pos = 0;
  for (int lines = 0; lines < 200 && pos < start.size(); ++lines) {
    std::size_t end = start.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = start.size();
    if (isDataStart(start.substr(pos, end - pos))) return true;
    pos = start.find_first_not_of("\r\n", end);
    if (pos == std::string_view::npos) break;
  }
  return false;
}

std::size_t readSpectrometerTextPart(DataStore& store, std::istream& in, std::size_t part) {
  store.attributes.cfrCompliant = false;
  SpectrumSet set;
  {
    auto c = text::TextCursor::fromStart(in);
    c.normaliseLineEnds();
    if (c.rest().substr(0, 3) == "\xEF\xBB\xBF") c.seek(3);
    auto fail = [&](const std::string& why) {
      refuse(in, "Spectrometer text export: " + why);
      return std::size_t{0};
    };
    std::map<std::string, std::string> header;
    std::string_view line;
    std::string key, value;
    bool data = false;
    while (c.lineView(line)) {
      if (text::trim(line).empty()) continue;
      if (isDataStart(line)) {
        data = true;
        break;
      }
      splitKey(line, key, value);
      header.emplace(upper(key), value);
      set.remarks.push_back(remarkOf(key, value));
    }
    if (!data) return fail("there is no XYDATA line before the end of the file.");
    set.title = header["TITLE"];

    // The rows: their shape is the first row's.
    std::vector<float> row;
    std::optional<text::RowShape> shape;
    std::size_t count = 0;
    std::vector<std::vector<float>> columns;
    std::vector<float> coordinates;
    while (true) {
      const std::size_t at = c.position();
      if (!c.lineView(line)) break;
      if (text::trim(line).empty()) {
        if (shape) break;
        continue;
      }
      if (!shape) {
        const std::size_t first = line.find_first_not_of(' ');
        const char lead = line[first];
        if (coordinates.empty() && (lead == '\t' || lead == ',' || lead == ';')) {
          // A first row without an x gives the coordinates of a table of spectra.
          const text::Separator separator =
              lead == '\t' ? text::Separator::Tab : lead == ',' ? text::Separator::Comma : text::Separator::Semicolon;
          const auto cells = text::cellsOf(line, separator);
          for (std::size_t k = 1; k < cells.size(); ++k) {
            float z = 0.0f;
            if (cells[k].empty()) continue;
            if (!text::parseCell(cells[k], separator != text::Separator::Comma, z))
              return fail("line " + std::to_string(c.lineNumberAt(at)) + ": " + quoted(cells[k]) + " is not a number.");
            coordinates.push_back(z);
          }
          if (coordinates.empty()) return fail("line " + std::to_string(c.lineNumberAt(at)) + ": an empty row after XYDATA.");
          continue;
        }
        shape = text::guessShape(line);
        if (!shape)
          return fail("line " + std::to_string(c.lineNumberAt(at)) + ": " + quoted(line) +
                      " is not a row of numbers after XYDATA.");
        parseRow(line, *shape, row);
        count = row.size();
        if (!coordinates.empty() && count != coordinates.size() + 1)
          return fail("line " + std::to_string(c.lineNumberAt(at)) + ": " + std::to_string(count) + " values where " +
                      std::to_string(coordinates.size() + 1) + " were expected.");
        columns.assign(count, {});
      }
      if (!parseRowAdapting(line, *shape, row)) {
        c.seek(at);
        break;  // the extended information
      }
      if (row.size() != count)
        return fail("line " + std::to_string(c.lineNumberAt(at)) + ": " + std::to_string(row.size()) +
                    (row.size() == 1 ? " value where " : " values where ") + std::to_string(count) + " were expected.");
      for (std::size_t k = 0; k < count; ++k) columns[k].push_back(row[k]);
    }
    if (!shape || columns.empty() || columns[0].empty()) return fail("there are no rows of numbers after XYDATA.");
    if (count < 2) return fail("the rows after XYDATA hold an x but no values.");
    std::int64_t announced = 0;
    const std::string& points = header["NPOINTS"];
    if (!points.empty() && text::parseInt(points, announced) == points.size() &&
        announced != static_cast<std::int64_t>(columns[0].size()))
      return fail("there are " + std::to_string(columns[0].size()) + " rows after XYDATA where NPOINTS announces " +
                  points + ".");
    while (c.lineView(line))
      if (!text::trim(line).empty()) {
        splitKey(line, key, value);
        set.remarks.push_back(remarkOf(key, value));
      }

    const Quantity xq = quantityOf(header["XUNITS"]);
    std::vector<float> x = std::move(columns[0]);
    if (xq.known && xq.scale != 1.0)
      for (float& v : x) v = static_cast<float>(v * xq.scale);
    const std::string xName = xq.name.empty() ? "X Data" : xq.name;
    std::vector<std::string> used;
    for (std::size_t k = 1; k < count; ++k) {
      Spectrum s;
      s.xName = xName;
      if (!coordinates.empty()) {
        // A table: every column a spectrum of the one quantity, at its coordinate.
        s.property = quantityOf(header["YUNITS"]).name;
        s.hasCoordinate = true;
        s.coordinate = coordinates[k - 1];
      } else {
        const std::string unitsKey = k == 1 ? "YUNITS" : "Y" + std::to_string(k) + "UNITS";
        s.property = quantityOf(header[unitsKey]).name;
        if (s.property.empty()) s.property = "Channel" + std::to_string(k);
        // Two channels of one quantity stay two properties.
        if (std::find(used.begin(), used.end(), s.property) != used.end()) s.property += std::to_string(k);
        used.push_back(s.property);
      }
      if (s.property.empty()) s.property = "Y Data";
      // The columns share the first column's x.
      if (k == 1)
        s.x = std::move(x);
      else
        s.xOfPrevious = true;
      s.y = std::move(columns[k]);
      set.spectra.push_back(std::move(s));
    }
    if (!coordinates.empty()) {
      const Quantity zq = quantityOf(header["Y2UNITS"]);
      set.traceDimension = zq.known ? zq.name : "Trace";
    }
  }
  return fillPart(store, set, part, in, "Spectrometer text export");
}

}  // namespace lumatix::datastore
