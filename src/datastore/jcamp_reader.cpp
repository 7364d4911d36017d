#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "datastore/asdf.h"
#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

// The value of a labelled record: the text after "=", its "$$" comment and the blanks
// around it removed.
std::string labelValue(const std::string& line) {
  std::size_t equals = line.find('=');
  if (equals == std::string::npos) return {};
  std::string value = line.substr(equals + 1);
  std::size_t comment = value.find("$$");
  if (comment != std::string::npos) value.resize(comment);
  std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::size_t last = value.find_last_not_of(" \t\r");
  return value.substr(first, last - first + 1);
}

}  // namespace

std::string jcampLabel(std::string_view line) {
  if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a UTF-8 byte-order mark
  std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line.compare(start, 2, "##") != 0) return {};
  std::string label;
  for (std::size_t i = start + 2; i < line.size() && line[i] != '='; ++i) {
    const char ch = line[i];
    if (ch == ' ' || ch == '\t' || ch == '-' || ch == '_' || ch == '/') continue;
    label.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
  }
  return label;
}

void readJcamp(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  auto fail = [&](const std::string& why) { refuse(in, "JCAMP-DX file: " + why); };
  std::string line;
  std::size_t lineAt = 0;
  // The line just read, for the reasons of a refusal.
  auto here = [&](const std::string& what) { return "line " + std::to_string(c.lineNumberAt(lineAt)) + ": " + what; };
  auto next = [&] {
    lineAt = c.position();
    return c.line(line);
  };

  c.skipWs();
  if (!next() || jcampLabel(line) != "TITLE") return fail("the first line is not a ##TITLE record.");
  store.title = labelValue(line);

  std::string xLabel, yLabel, xUnits, yUnits;
  double xFactor = 1.0, yFactor = 1.0;
  double firstX = 0.0, lastX = 0.0;
  bool haveFirstX = false, haveLastX = false;
  std::int64_t count = 0;
  bool data = false, xPlusPlus = false;
  while (next()) {
    const std::string label = jcampLabel(line);
    const std::string value = labelValue(line);
    if (label == "XYDATA" || label == "XYPOINTS" || label == "PEAKTABLE") {
      data = true;
      xPlusPlus = value.find("X++") != std::string::npos;
      break;
    }
    if (label == "XLABEL") {
      xLabel = value;
    } else if (label == "YLABEL") {
      yLabel = value;
    } else if (label == "XUNITS") {
      xUnits = value;
    } else if (label == "YUNITS") {
      yUnits = value;
    } else if (label == "XFACTOR") {
      if (!text::parseDouble(value, xFactor)) return fail(here("the ##XFACTOR " + quoted(value) + " is not a number."));
    } else if (label == "YFACTOR") {
      if (!text::parseDouble(value, yFactor)) return fail(here("the ##YFACTOR " + quoted(value) + " is not a number."));
    } else if (label == "NPOINTS") {
      if (!text::parseInt(value, count)) return fail(here("the ##NPOINTS " + quoted(value) + " is not a whole number."));
    } else if (label == "FIRSTX") {
      haveFirstX = text::parseDouble(value, firstX);
    } else if (label == "LASTX") {
      haveLastX = text::parseDouble(value, lastX);
    }
  }
  if (!data) return fail("no XYDATA, XYPOINTS or PEAK TABLE block.");
  if (count < 1) return fail(here("the data block is not preceded by a ##NPOINTS record of one point or more."));
  // One property over one dimension named by the labels, else by the units.
  auto fill = [&](const std::vector<float>& x, const std::vector<float>& y) {
    store.dimensions = Array<Dimension>(std::vector<Dimension>{Dimension(xLabel.empty() ? xUnits : xLabel, x)});
    store.properties = Array<std::string>(std::vector<std::string>{yLabel.empty() ? yUnits : yLabel});
    if (!store.initialise()) return fail("there is not enough memory for its values.");
    std::copy(y.begin(), y.end(), store.data.data);
    store.computeRange();
  };

  // (X++(Y..Y)) with the abscissa range announced: each line is the x of its first y value
  // and any number of y values (plain or compressed), the later ones a step of
  // (LASTX - FIRSTX) / (NPOINTS - 1) apart. The line's own x is kept for its first value,
  // so files of one value per line read exactly as pairs. After a line that ends in a
  // difference, the next line's first y repeats the last one as a check and is dropped.
  if (xPlusPlus && haveFirstX && haveLastX) {
    // DUP counts let few characters stand for many values, so the vectors grow as values
    // arrive rather than being sized from the count, and a count far beyond what the text
    // could hold even so is refused before anything is read.
    constexpr std::uint64_t kMostValuesPerCharacter = 64;
    if (static_cast<std::uint64_t>(count) > kMostValuesPerCharacter * c.remaining())
      return fail("##NPOINTS announces " + std::to_string(count) + " points, more than the rest of the file can hold.");
    std::vector<float> x, y;
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(count), c.remaining()));
    x.reserve(expected);
    y.reserve(expected);
    const double step = count > 1 ? (lastX - firstX) / static_cast<double>(count - 1) : 0.0;
    asdf::DecodedLine decoded;
    bool checkNext = false;
    double lastY = 0.0;
    while (next() && jcampLabel(line).empty()) {
      if (!asdf::decodeLine(line, decoded, static_cast<std::size_t>(count) - y.size() + 2))
        return fail(here(quoted(line) + " is not a line of numbers in any of the format's forms, or holds more values than ##NPOINTS announces."));
      if (decoded.values.empty()) continue;
      std::size_t first = 1;
      if (checkNext && decoded.values.size() > 1) {
        // The check value must repeat the last y read; a mismatch means a corrupt line.
        const double check = decoded.values[1];
        if (std::abs(check - lastY) > 1e-9 * std::max(1.0, std::abs(lastY)))
          return fail(here("the check value " + text::doubleText(check) + " does not repeat the last value " +
                           text::doubleText(lastY) + " of the line before."));
        first = 2;
      }
      for (std::size_t k = first; k < decoded.values.size(); ++k) {
        if (y.size() == static_cast<std::size_t>(count))
          return fail(here("more values than the " + std::to_string(count) + " that ##NPOINTS announces."));
        x.push_back(static_cast<float>(decoded.values[0] * xFactor + step * static_cast<double>(k - 1)));
        y.push_back(static_cast<float>(decoded.values[k] * yFactor));
      }
      lastY = decoded.values.back();
      checkNext = decoded.endsInDif;
    }
    if (y.size() != static_cast<std::size_t>(count))
      return fail("the data hold " + std::to_string(y.size()) + " values where ##NPOINTS announces " +
                  std::to_string(count) + ".");
    return fill(x, y);
  }

  if (static_cast<std::uint64_t>(count) * 2 > text::numbersThatFit(c.remaining()))
    return fail("##NPOINTS announces " + std::to_string(count) + " points, more than the rest of the file can hold.");
  // Pairs are parted by blanks, line ends, commas or semicolons ("1,2 3,4" or "1, 2").
  auto number = [&c](double& value) {
    c.skipWs();
    while (c.peek() == ',' || c.peek() == ';') {
      c.seek(c.position() + 1);
      c.skipWs();
    }
    return c.readDouble(value);
  };
  std::vector<float> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < x.size(); ++i) {
    double xv = 0.0, yv = 0.0;
    if (!number(xv) || !number(yv))
      return fail(atLine(c, "point " + std::to_string(i + 1) + " of " + std::to_string(count) + ": found " +
                                foundHere(c) + " where a number was expected."));
    x[i] = static_cast<float>(xv * xFactor);
    y[i] = static_cast<float>(yv * yFactor);
  }

  fill(x, y);
}

}  // namespace lumatix::datastore
