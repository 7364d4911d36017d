#include "export/jcamp_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <map>
#include <sstream>
#include <vector>

#include "datastore/data_store.h"
#include "export/jcamp_yfactor.h"
#include "export/store_layout.h"
#include "export/text_sink.h"
#include "platform/clock.h"

namespace lumatix::exports {
namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// A time when the whole text (blanks around it aside) is one in a known form.
bool parseTime(const std::string& text, std::tm& result) {
  for (const char* format : {"%a %b %d %H:%M:%S %Y", "%Y-%m-%d %H:%M:%S"}) {
    std::istringstream in(text);
    std::tm t{};
    in >> std::get_time(&t, format);
    if (in.fail()) continue;
    in >> std::ws;
    if (!in.eof()) continue;
    t.tm_isdst = -1;
    result = t;
    return true;
  }
  return false;
}

// Whether the values step evenly from first to last, to within float rounding.
bool evenlySpaced(const datastore::Dimension& x) {
  const std::int32_t n = x.size();
  if (n < 3) return true;
  const double step = (static_cast<double>(x.values[n - 1]) - x.values[0]) / (n - 1);
  const double tolerance = 1e-3 * std::fabs(step);
  for (std::int32_t i = 1; i < n; ++i)
    if (std::fabs(static_cast<double>(x.values[i]) - x.values[i - 1] - step) > tolerance) return false;
  return true;
}

class JcampExporter {
 public:
  JcampExporter(datastore::DataStore& store, std::ostream& out)
      : store_(store), sink_(out), propertyCount_(store.properties.size()) {}

  void write() {
    if (store_.dimensions.size() > 0) requireValueBlock(store_);
    writeHeader();
    writeBlocks();
    sink_.flush();
  }

 private:
  void fixed(double value, int decimals) {
    char digits[400];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals).ptr;
    sink_.text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }

  void line(const std::string& key, const std::string& value) { sink_.text(key).text(value).put('\n'); }

  void writeHeader() {
    const std::tm time = jcampExportTime(store_);
    const char* owner = std::getenv("USERNAME");
    line("##TITLE=", store_.title.empty() ? "Export Data" : store_.title);
    line("##JCAMP-DX=5.0", "    $$ Lumatix v. 4.2");
    line("##DATATYPE=", "SPECTRUM");
    line("##ORIGIN=Corvane", "");
    line("##OWNER=", owner ? owner : "Unknown");
    line("##DATE=", platform::formatTime(time, "%y/%m/%d"));
    line("##TIME=", platform::formatTime(time, "%H:%M:%S"));
  }

  void writeBlocks() {
    const std::int32_t count = store_.dimensions.size();
    std::vector<std::int32_t> variable;
    for (std::int32_t d = 0; d < count; ++d) {
      if (count > 2 && store_.dimensions[d].size() == 1)
        fixed_.emplace(store_.dimensions[d].shortName(), store_.dimensions[d].values[0]);
      else
        variable.push_back(d);
    }
    if (count == 1 || variable.size() == 1) {
      // One varying dimension, the others (if any) of a single value each, written as labels.
      for (std::int32_t p = 0; p < propertyCount_; ++p) writeBlock(p, variable[0], -1, p + 1);
    } else if (variable.size() == 2) {
      std::int32_t x = variable[0], traces = variable[1];
      if (store_.dimensions[traces].size() > store_.dimensions[x].size()) std::swap(x, traces);
      auto& traceDimension = store_.dimensions[traces];
      const std::int32_t saved = traceDimension.currentIndex;
      for (std::int32_t t = 0; t < traceDimension.size(); ++t) {
        traceDimension.currentIndex = t;
        for (std::int32_t p = 0; p < propertyCount_; ++p) writeBlock(p, x, traces, p + 1);
      }
      traceDimension.currentIndex = saved;
    }
    if (propertyCount_ > 1) line("##END=", "");
  }

  void writeBlock(std::int32_t property, std::int32_t x, std::int32_t traces, std::int32_t blockIndex) {
    const std::string propertyName = datastore::firstWord(store_.properties[property]);
    const auto& xDimension = store_.dimensions[x];
    if (propertyCount_ > 1) {
      std::string title = propertyName + " over " + xDimension.shortName();
      if (traces >= 0) title += " at specific " + store_.dimensions[traces].shortName();
      line("##TITLE=", title);
      line("##DATATYPE=", propertyName);
      line("##BLOCK_ID=", std::to_string(blockIndex));
    }
    std::vector<float> trace;
    {
      // The fixed dimensions have one value each, so their index is 0 whatever was stored.
      const std::int64_t base = baseOffset(store_, property, {x});
      const std::int64_t stride = store_.stride(x);
      trace.resize(static_cast<std::size_t>(xDimension.size()));
      for (std::size_t i = 0; i < trace.size(); ++i)
        trace[i] = store_.data.data[base + static_cast<std::int64_t>(i) * stride];
    }
    const int exponent = chooseYFactorExponent(trace);
    const double factor = std::pow(10.0, exponent);
    writeXyParameters(xDimension, store_.properties[property], factor, trace);
    if (traces >= 0) {
      const auto& traceDimension = store_.dimensions[traces];
      sink_.text("##").text(upper(traceDimension.shortName())).text("=");
      fixed(traceDimension.values[traceDimension.currentIndex], 6);
      sink_.put('\n');
    }
    for (const auto& [name, value] : fixed_) {
      sink_.text("##$").text(upper(name)).text("=");
      fixed(value, 6);
      sink_.put('\n');
    }
    writeXyData(xDimension, factor, trace);
    line("##END=", "");
  }

  void writeXyParameters(const datastore::Dimension& x, const std::string& property, double factor,
                         const std::vector<float>& trace) {
    line("##DATACLASS=XYDATA", "");
    line("##XUNITS=", jcampUnit(x.name));
    line("##YUNITS=", jcampUnit(property));
    line("##XLABEL=", "");
    line("##XFACTOR=1.00000", "");
    sink_.text("##YFACTOR=");
    fixed(factor, 6);
    const std::int32_t n = x.size();
    sink_.text("\n##FIRSTX=");
    fixed(n > 0 ? x.values[0] : 0.0f, 6);
    sink_.text("\n##LASTX=");
    fixed(n > 0 ? x.values[n - 1] : 0.0f, 6);
    float largest = 0.0f, smallest = 0.0f;
    if (!trace.empty()) {
      const auto [lo, hi] = std::minmax_element(trace.begin(), trace.end());
      smallest = *lo;
      largest = *hi;
    }
    sink_.text("\n##MAXY=");
    fixed(largest, 6);
    sink_.text("\n##MINY=");
    fixed(smallest, 6);
    sink_.text("\n##NPOINTS=").integer(n);
    sink_.text("\n##FIRSTY=");
    fixed(trace.empty() ? 0.0f : trace[0], 6);
    sink_.put('\n');
  }

  void writeXyData(const datastore::Dimension& x, double factor, const std::vector<float>& trace) {
    // "(X++(Y..Y))" tells a reader that x steps evenly from FIRSTX to LASTX, and readers
    // compute x from that; an uneven axis (a logarithmic time base) is labelled as the x y
    // pairs it is, in the same lines, so that its x values are read as written.
    line(evenlySpaced(x) ? "##XYDATA=(X++(Y..Y))" : "##XYDATA=(XY..XY)", "");
    for (std::size_t i = 0; i < trace.size(); ++i) {
      fixed(x.values[static_cast<std::int32_t>(i)], 4);
      sink_.put(' ');
      const double quotient = static_cast<double>(trace[i]) / factor;
      // A value without an integer form (infinite or not a number) is written as missing.
      if (std::isfinite(quotient))
        sink_.integer(static_cast<long long>(std::trunc(quotient)));
      else
        sink_.put('?');
      sink_.put('\n');
    }
  }

  datastore::DataStore& store_;
  TextSink sink_;
  const std::int32_t propertyCount_;
  std::map<std::string, float> fixed_;
};

}  // namespace

std::string jcampUnit(const std::string& name) {
  if (contains(name, "Wavelength")) return "NANOMETERS";
  if (contains(name, "Time")) return "SECONDS";
  for (const char* arbitrary : {"Temperature", "Repeat", "Concentration", "Volume", "CircularDichroism"})
    if (contains(name, arbitrary)) return "ARBITRARY UNITS";
  if (contains(name, "Absorbance")) return "ABSORBANCE";
  if (contains(name, "Fluorescence")) return "ARBITRARY UNITS";
  if (contains(name, "PhotodiodeArray")) return "ABSORBANCE";
  return "ARBITRARY UNITS";
}

std::tm jcampExportTime(const datastore::DataStore& store) {
  std::tm time{};
  if (parseTime(store.lastModified, time) || parseTime(store.title, time)) return time;
  return platform::localTime();
}

void writeJcamp(datastore::DataStore& store, std::ostream& out) {
  JcampExporter(store, out).write();
  out.flush();
}

}  // namespace lumatix::exports
