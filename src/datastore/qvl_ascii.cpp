#include "datastore/qvl_ascii.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/external_names.h"
#include "datastore/load_refusal.h"
#include "datastore/qv_data.h"
#include "platform/clock.h"

namespace lumatix::datastore {

void readQvlAscii(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  in.clear();
  in.seekg(0);
  QVdata qv;
  qv.read(in);
  if (in.fail()) return;
  if (qv.count < 1) {
    // Nothing to show: a store without values is not a store the viewer can use.
    refuse(in, "QVL-ASCII file: its point count is 0, so it holds no data.");
    return;
  }

  store.title = qv.title;
  store.dimensions.clear();
  store.properties.clear();
  store.dimensions.push_back(Dimension(internalNameForReading(qv.xType), qv.x));
  if (store.dimensions[0].shortName() != "Wavelength")
    store.dimensions.push_back(Dimension("Wavelength", {static_cast<float>(qv.wavelength / 10.0)}));
  store.properties.push_back(internalNameForReading(qv.yType));
  if (!store.initialise()) {
    refuse(in, "QVL-ASCII file: there is not enough memory for its values.");
    return;
  }
  std::copy(qv.y.begin(), qv.y.end(), store.data.data);
  store.minValue = qv.box[1];
  store.maxValue = qv.box[3];
}

std::ostream& writeQvlAscii(DataStore& store, std::ostream& out, std::int32_t dimension) {
  if (dimension < 0 || dimension >= store.dimensions.size()) throw std::runtime_error("Datastore not valid");
  const Dimension& d = store.dimensions[dimension];
  Array<float> trace = store.trace(dimension, store.currentProperty);
  std::vector<float> x(d.values.begin(), d.values.end());
  std::vector<float> y(trace.begin(), trace.end());
  if (!(x.size() > 1 && x.front() < x.back())) {
    std::reverse(x.begin(), x.end());
    std::reverse(y.begin(), y.end());
  }

  QVdata qv;
  qv.set(x, y, static_cast<std::int32_t>(x.size()), store.title, externalNameForWriting(d.shortName()),
         externalNameForWriting(store.propertyName(store.currentProperty, true)));
  std::string now = platform::ctimeNow();
  if (!now.empty() && now.back() == '\n') now.pop_back();
  qv.timeStamp = now;
  std::int32_t wavelength = store.findDimensionPrefix("Wavelength");
  if (wavelength >= 0) {
    const Dimension& w = store.dimensions[wavelength];
    if (w.currentIndex >= 0 && w.currentIndex < w.size()) {
      double tenths = static_cast<double>(w.values[w.currentIndex]) * 10.0 + 0.5;
      if (tenths > -2147483648.0 && tenths < 2147483647.0) qv.wavelength = static_cast<std::int32_t>(tenths);
    }
  }
  qv.write(out);
  out.flush();
  return out;
}

}  // namespace lumatix::datastore
