#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

bool startsWith(const std::string& line, std::string_view prefix) { return line.compare(0, prefix.size(), prefix) == 0; }

// The text after "=", less one leading blank.
std::string labelValue(const std::string& line) {
  std::size_t equals = line.find('=');
  if (equals == std::string::npos) return {};
  std::string value = line.substr(equals + 1);
  if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  return value;
}

}  // namespace

void readJcamp(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  auto fail = [&] { in.setstate(std::ios::failbit); };
  std::string line;

  c.skipWs();
  if (!c.line(line) || !startsWith(line, "##TITLE")) return fail();
  if (!c.line(line) || !startsWith(line, "##JCAMP-DX")) return fail();

  std::string xLabel, yLabel, xUnits, yUnits;
  double xFactor = 1.0, yFactor = 1.0;
  std::int64_t count = 0;
  bool data = false;
  while (c.line(line)) {
    if (startsWith(line, "##XYDATA")) {
      data = true;
      break;
    }
    const std::string value = labelValue(line);
    if (startsWith(line, "##XLABEL")) {
      xLabel = value;
    } else if (startsWith(line, "##YLABEL")) {
      yLabel = value;
    } else if (startsWith(line, "##XUNITS")) {
      xUnits = value;
    } else if (startsWith(line, "##YUNITS")) {
      yUnits = value;
    } else if (startsWith(line, "##XFACTOR")) {
      if (!text::parseDouble(value, xFactor)) return fail();
    } else if (startsWith(line, "##YFACTOR")) {
      if (!text::parseDouble(value, yFactor)) return fail();
    } else if (startsWith(line, "##NPOINTS")) {
      if (!text::parseInt(value, count)) return fail();
    }
  }
  if (!data || count < 1 || static_cast<std::uint64_t>(count) * 2 > text::numbersThatFit(c.remaining())) return fail();

  std::vector<float> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < x.size(); ++i) {
    double xv = 0.0, yv = 0.0;
    if (!c.readDouble(xv) || !c.readDouble(yv)) return fail();
    x[i] = static_cast<float>(xv * xFactor);
    y[i] = static_cast<float>(yv * yFactor);
  }

  store.dimensions = Array<Dimension>(std::vector<Dimension>{Dimension(xLabel.empty() ? xUnits : xLabel, x)});
  store.properties = Array<std::string>(std::vector<std::string>{yLabel.empty() ? yUnits : yLabel});
  if (!store.initialise()) return fail();
  std::copy(y.begin(), y.end(), store.data.data);
  store.computeRange();
}

}  // namespace lumatix::datastore
