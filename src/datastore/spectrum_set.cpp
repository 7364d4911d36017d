#include "datastore/spectrum_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <stdexcept>

#include "datastore/data_store.h"
#include "datastore/load_refusal.h"

namespace lumatix::datastore {
namespace {

// The spectra of one store, and the properties they hold in order.
struct Part {
  std::vector<std::size_t> spectra;
  std::vector<std::string> properties;
  std::size_t tracesPerProperty = 1;
};

// The spectrum whose x values spectrum i has.
std::size_t holderOfX(const SpectrumSet& set, std::size_t i) {
  while (i > 0 && set.spectra[i].xOfPrevious) --i;
  return i;
}

bool sameX(const SpectrumSet& set, std::size_t i, std::size_t j) {
  if (set.spectra[i].xName != set.spectra[j].xName) return false;
  const std::size_t a = holderOfX(set, i);
  const std::size_t b = holderOfX(set, j);
  return a == b || set.spectra[a].x == set.spectra[b].x;
}

std::vector<Part> plan(const SpectrumSet& set) {
  // Spectra over the same x, in the order they first appear.
  std::vector<std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < set.spectra.size(); ++i) {
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const auto& g) { return sameX(set, g.front(), i); });
    if (group == groups.end())
      groups.push_back({i});
    else
      group->push_back(i);
  }
  std::vector<Part> parts;
  for (const auto& group : groups) {
    std::vector<std::string> names;
    std::vector<std::vector<std::size_t>> byProperty;
    for (std::size_t i : group) {
      const auto at = std::find(names.begin(), names.end(), set.spectra[i].property);
      if (at == names.end()) {
        names.push_back(set.spectra[i].property);
        byProperty.push_back({i});
      } else {
        byProperty[static_cast<std::size_t>(at - names.begin())].push_back(i);
      }
    }
    const bool even = std::all_of(byProperty.begin(), byProperty.end(),
                                  [&](const auto& p) { return p.size() == byProperty.front().size(); });
    if (even && names.size() <= static_cast<std::size_t>(DataStore::kMaxProperties)) {
      Part part;
      part.properties = names;
      part.tracesPerProperty = byProperty.front().size();
      for (const auto& p : byProperty) part.spectra.insert(part.spectra.end(), p.begin(), p.end());
      parts.push_back(std::move(part));
    } else {
      // Quantities measured a different number of times cannot share the trace dimension.
      for (std::size_t p = 0; p < names.size(); ++p)
        parts.push_back(Part{byProperty[p], {names[p]}, byProperty[p].size()});
    }
  }
  return parts;
}

// A coordinate as a trace name: "%f" without its trailing zeros and point.
std::string coordinateText(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace

std::size_t storeCount(const SpectrumSet& set) { return plan(set).size(); }

void fillStore(DataStore& store, SpectrumSet& set, std::size_t partIndex) {
  std::vector<Part> parts = plan(set);
  if (partIndex >= parts.size()) return;
  Part& part = parts[partIndex];
  Spectrum& first = set.spectra[part.spectra.front()];
  const std::size_t traces = part.tracesPerProperty;

  store.title = set.title;
  for (const auto& remark : set.remarks) store.remarks.push_back(remark);
  for (const auto& line : set.headerLines) store.headerLines.push_back(line);

  const std::size_t points = first.y.size();
  std::vector<Dimension> dimensions;
  dimensions.emplace_back(first.xName, std::move(set.spectra[holderOfX(set, part.spectra.front())].x));
  const bool traceDimension = traces > 1 || (set.traceDimensionFromFile && first.hasCoordinate);
  std::vector<std::string> names;
  bool named = false;
  if (traceDimension) {
    std::vector<float> coordinates(traces);
    bool allCoordinates = true;
    for (std::size_t t = 0; t < traces; ++t) allCoordinates = allCoordinates && set.spectra[part.spectra[t]].hasCoordinate;
    for (std::size_t t = 0; t < traces; ++t) {
      const Spectrum& s = set.spectra[part.spectra[t]];
      coordinates[t] = allCoordinates ? s.coordinate : static_cast<float>(t + 1);
      named = named || !s.traceName.empty();
      names.push_back(s.traceName.empty() ? coordinateText(coordinates[t]) : s.traceName);
    }
    dimensions.emplace_back(set.traceDimension, std::move(coordinates));
  }
  for (const auto& [name, value] : set.fixedDimensions) dimensions.emplace_back(name, std::vector<float>{value});
  if (dimensions.size() == 1 && set.wavelengthBesideOtherX && dimensions[0].name.compare(0, 10, "Wavelength") != 0)
    dimensions.emplace_back("Wavelength", std::vector<float>{0.0f});

  store.dimensions = Array<Dimension>(std::move(dimensions));
  store.properties = Array<std::string>(part.properties);
  if (!store.initialise()) throw std::bad_alloc();
  for (std::size_t k = 0; k < part.spectra.size(); ++k) {
    Spectrum& s = set.spectra[part.spectra[k]];
    if (s.y.size() != points) throw std::length_error("spectra of one x hold different numbers of values");
    // Spectra of a part are ordered property by property, each property's traces in order,
    // which is the order of the value block.
    std::copy(s.y.begin(), s.y.end(), store.data.data + k * points);
    std::vector<float>().swap(s.y);
  }
  if (named) nameTraces(store, names);
  store.computeRange();
}

std::size_t fillPart(DataStore& store, SpectrumSet& set, std::size_t part, std::istream& in, const std::string& what) {
  const std::size_t parts = storeCount(set);
  if (part >= parts) return parts;
  try {
    fillStore(store, set, part);
  } catch (const std::bad_alloc&) {
    refuse(in, what + ": there is not enough memory for its values.");
    return 0;
  }
  return parts;
}

void nameTraces(DataStore& store, const std::vector<std::string>& names) {
  if (store.dimensions.size() < 2 || store.viewState.axisCount < 2) return;
  const auto& coordinates = store.dimensions[1].values;
  if (static_cast<std::size_t>(coordinates.size()) != names.size() || names.empty()) return;
  float lowest = std::numeric_limits<float>::infinity();
  for (float z : coordinates) lowest = std::min(lowest, z);
  // Below every coordinate, so that no trace counts as one named by its coordinate.
  store.viewState.ranges[1].first = std::nextafter(lowest, -std::numeric_limits<float>::infinity());
  auto& marks = store.viewState.marks[1];
  marks.clear();
  for (std::size_t t = 0; t < names.size(); ++t)
    marks.push_back(ViewMark{coordinates[static_cast<std::int32_t>(t)], 0, 0, names[t], true});
}

}  // namespace lumatix::datastore
