#include "datastore/qv_data.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

// "wl" carries nanometres, possibly with "nm" behind them; the file keeps tenths.
bool tenthsOf(const std::string& token, std::int32_t& tenths) {
  float nm = 0.0f;
  if (!text::parseFloat(token, nm)) return false;
  double scaled = static_cast<double>(nm) * 10.0 + 0.5;
  if (!(scaled > std::numeric_limits<std::int32_t>::min() && scaled < std::numeric_limits<std::int32_t>::max())) return false;
  tenths = static_cast<std::int32_t>(scaled);
  return true;
}

bool parseInfo(QVdata& qv, const std::string& info) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (true) {
    std::size_t cut = info.find('_', start);
    tokens.push_back(info.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    const bool hasNext = i + 1 < tokens.size();
    if (token == "wl") {
      if (!hasNext || !tenthsOf(tokens[++i], qv.wavelength)) return false;
    } else if (token == "tp") {
      if (!hasNext || !text::parseFloat(tokens[++i], qv.temperature)) return false;
    } else if (token == "tm") {
      if (!hasNext || !text::parseFloat(tokens[++i], qv.time)) return false;
    } else if (token == "ft") {
      qv.hasThirdColumn = true;
    }
  }
  return true;
}

}  // namespace

void QVdata::set(const std::vector<float>& xValues, const std::vector<float>& yValues, std::int32_t pointCount,
                 const std::string& newTitle, const std::string& newXType, const std::string& newYType) {
  const auto n = static_cast<std::size_t>(std::max(0, std::min({pointCount, static_cast<std::int32_t>(xValues.size()),
                                                                static_cast<std::int32_t>(yValues.size())})));
  count = static_cast<std::int32_t>(n);
  x.assign(xValues.begin(), xValues.begin() + static_cast<std::ptrdiff_t>(n));
  y.assign(yValues.begin(), yValues.begin() + static_cast<std::ptrdiff_t>(n));
  z.clear();
  hasThirdColumn = false;
  title = newTitle;
  xType = newXType;
  yType = newYType;
  box = {0.0, 0.0, 0.0, 0.0};
  if (n == 0) return;
  auto [xLow, xHigh] = std::minmax_element(x.begin(), x.end());
  auto [yLow, yHigh] = std::minmax_element(y.begin(), y.end());
  box = {*xLow, *yLow, *xHigh, *yHigh};
}

void QVdata::read(std::istream& in) {
  auto c = text::TextCursor::fromHere(in);
  // What was expected at the cursor and what stands there instead.
  auto fail = [&](const std::string& expected) {
    refuse(in, "QVL-ASCII file: " + atLine(c, expected + " was expected; found " + foundHere(c) + "."));
  };
  std::string line;

  c.skipWs();
  std::size_t start = c.position();
  auto failLine = [&](const std::string& expected) {
    c.seek(start);
    fail(expected);
  };
  if (!c.line(line) || line != "QVL-ASCII") return failLine("\"QVL-ASCII\"");
  start = c.position();
  if (!c.line(line)) return fail("an \"INFO>\" line");
  std::size_t mark = line.find('>');
  if (mark == std::string::npos || line.compare(0, mark, "INFO") != 0) return failLine("an \"INFO>\" line");
  hasThirdColumn = false;
  if (!parseInfo(*this, line.substr(mark + 1))) return failLine("an \"INFO>\" line of wl_, tp_ and tm_ numbers");

  std::int64_t points = 0;
  const int columns = hasThirdColumn ? 3 : 2;
  c.skipWs();
  const std::size_t countAt = c.position();
  if (!c.readInt(points) || points < 0 || static_cast<std::uint64_t>(points) * static_cast<std::uint64_t>(columns) > text::numbersThatFit(c.remaining())) {
    c.seek(countAt);
    return fail("a point count, no more points than the file holds,");
  }
  count = static_cast<std::int32_t>(points);
  const auto n = static_cast<std::size_t>(points);
  x.assign(n, 0.0f);
  y.assign(n, 0.0f);
  z.assign(hasThirdColumn ? n : 0, 0.0f);
  for (std::size_t i = 0; i < n; ++i) {
    if (!c.readFloat(x[i]) || !c.readFloat(y[i]) || (hasThirdColumn && !c.readFloat(z[i])))
      return fail("the numbers of point " + std::to_string(i + 1) + " of " + std::to_string(n));
  }

  std::array<double, 4> read{};
  for (auto& v : read)
    if (!c.readDouble(v)) return fail("the four numbers of the plot box");
  box = {std::min(read[0], read[2]), std::min(read[1], read[3]), std::max(read[0], read[2]), std::max(read[1], read[3])};
  c.skipLine();

  for (std::string* field : {&xType, &yType, &extraLines[0], &extraLines[1], &extraLines[2], &extraLines[3], &title, &timeStamp})
    if (!c.line(*field)) return fail("the quantity names, four free lines, the title and the time stamp");
}

void QVdata::write(std::ostream& out) const {
  // The count and the flag always describe the lines that follow, whatever the fields hold.
  const std::size_t n = std::min({static_cast<std::size_t>(std::max(count, 0)), x.size(), y.size()});
  const bool third = hasThirdColumn && z.size() >= n;
  std::string s;
  s.reserve(64 + n * 24);
  s += "QVL-ASCII\nINFO>cp_wl_";
  s += text::doubleText(wavelength / 10.0);
  s += "nm_tp_";
  s += text::floatText(temperature);
  s += "_tm_";
  s += text::floatText(time);
  if (third) s += "_ft";
  s += '\n';
  s += std::to_string(n);
  s += '\n';
  for (std::size_t i = 0; i < n; ++i) {
    text::appendFloat(s, x[i]);
    s += '\t';
    text::appendFloat(s, y[i]);
    if (third) {
      s += '\t';
      text::appendFloat(s, z[i]);
    }
    s += '\n';
  }
  s += '\n';
  for (double v : box) s += text::doubleText(v) + '\n';
  s += xType + '\n' + yType + '\n';
  for (const auto& line : extraLines) s += line + '\n';
  s += title + '\n' + timeStamp + '\n';
  out.write(s.data(), static_cast<std::streamsize>(s.size()));
}

}  // namespace lumatix::datastore
