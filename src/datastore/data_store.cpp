#include "datastore/data_store.h"

#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

#include "datastore/value_range.h"
#include "platform/clock.h"
#include "platform/file_id.h"

namespace lumatix::datastore {
namespace {

[[noreturn]] void outOfBlock() { throw std::out_of_range("Index out-of-range in DPointer::operator[]"); }

std::int32_t findName(const Array<std::string>& names, const std::string& name, bool shortForm) {
  const std::string key = shortForm ? firstWord(name) : name;
  for (std::int32_t i = 0; i < names.size(); ++i) {
    const std::string& candidate = names[i];
    bool match = shortForm ? candidate.compare(0, key.size(), key) == 0 : candidate == key;
    if (match) return i;
  }
  return -1;
}

template <class Names>
std::int32_t findPrefix(const Names& names, const std::string& key) {
  for (std::int32_t i = 0; i < names.size(); ++i)
    if (names[i].compare(0, key.size(), key) == 0) return i;
  return -1;
}

}  // namespace

DataStore::DataStore(bool saved_) : saved(saved_) {}

DataStore::DataStore(std::string title_, std::int32_t propertyCount, std::int32_t dimensionCount)
    : title(std::move(title_)), properties(propertyCount), dimensions(dimensionCount) {}

DataStore::DataStore(const DataStore& other)
    : title(other.title), remarks(other.remarks), properties(other.properties), dimensions(other.dimensions),
      options(other.options), headerLines(other.headerLines), history(other.history),
      extraStrings(other.extraStrings), data(other.data), minValue(other.minValue), maxValue(other.maxValue),
      currentProperty(other.currentProperty), formatName(other.formatName), filePath(other.filePath),
      lastModified(other.lastModified), allowCary(other.allowCary), saved(other.saved),
      isPlaceholder(other.isPlaceholder), initialised(false), viewState(other.viewState),
      attributes(other.attributes), parent(other.parent) {}

DataStore& DataStore::operator=(const DataStore& other) {
  if (this == &other) return *this;
  bool keepInitialised = initialised;
  std::string keepModifiedBy = modifiedBy;
  DataStore copy(other);
  title = std::move(copy.title);
  remarks = std::move(copy.remarks);
  properties = std::move(copy.properties);
  dimensions = std::move(copy.dimensions);
  options = std::move(copy.options);
  headerLines = std::move(copy.headerLines);
  history = std::move(copy.history);
  extraStrings = std::move(copy.extraStrings);
  data = std::move(copy.data);
  minValue = copy.minValue;
  maxValue = copy.maxValue;
  currentProperty = copy.currentProperty;
  formatName = std::move(copy.formatName);
  filePath = std::move(copy.filePath);
  lastModified = std::move(copy.lastModified);
  allowCary = copy.allowCary;
  saved = copy.saved;
  isPlaceholder = copy.isPlaceholder;
  viewState = std::move(copy.viewState);
  attributes = std::move(copy.attributes);
  parent = std::move(copy.parent);
  initialised = keepInitialised;
  modifiedBy = std::move(keepModifiedBy);
  return *this;
}

std::int32_t DataStore::addProperty(const std::string& name) {
  properties.push_back(name);
  initialise();
  return properties.size() - 1;
}

std::int32_t DataStore::addDimension(const Dimension& dimension) {
  dimensions.push_back(dimension);
  initialise();
  return dimensions.size() - 1;
}

std::int64_t DataStore::valuesPerProperty() const {
  std::int64_t n = 1;
  for (const auto& d : dimensions) {
    n *= d.size();
    if (n > std::numeric_limits<std::int32_t>::max()) return -1;
  }
  return n;
}

bool DataStore::initialise() {
  if (properties.size() <= 0) return true;
  for (auto& d : dimensions) d.currentIndex = 0;
  std::int64_t perProperty = valuesPerProperty();
  if (perProperty < 0) return false;
  std::int64_t n = perProperty * properties.size();
  if (n <= 0) return true;
  if (n > std::numeric_limits<std::int32_t>::max()) return false;
  try {
    data.allocateZeroed(static_cast<std::int32_t>(n));
  } catch (const std::exception&) {
    return false;
  }

  const auto axes = static_cast<std::size_t>(dimensions.size());
  viewState.axisCount = dimensions.size();
  viewState.dimensionOrder.resize(axes);
  viewState.ranges.resize(axes);
  viewState.marks.assign(axes, {});
  for (std::size_t i = 0; i < axes; ++i) {
    viewState.dimensionOrder[i] = static_cast<std::int32_t>(i);
    viewState.ranges[i] = dimensions[static_cast<std::int64_t>(i)].range();
  }

  addHistory(makeHistoryEntry("DataStore initialized :", "DataStore created and initialized for data acquisition.\r\n"));
  initialised = true;
  return true;
}

bool DataStore::makePlaceholder() {
  if (dimensions.size() > 0) return false;
  addProperty("None");
  addDimension(Dimension("None", {0.0f, 1.0f}));
  isPlaceholder = true;
  return true;
}

void DataStore::addRemark(const std::string& text) {
  try {
    remarks.push_back(text);
  } catch (const std::bad_alloc&) {
    // A remark that does not fit in memory is dropped; the store stays as it was.
  }
}

void DataStore::addHistory(const HistoryEntry& entry) { history.push_back(entry); }

std::string DataStore::propertyName(std::int64_t index, bool shortForm) const {
  if (index < 0 || index >= properties.size()) return "IllegalProperty";
  return shortForm ? firstWord(properties[index]) : properties[index];
}

std::string DataStore::dimensionName(std::int64_t index, bool shortForm) const {
  if (index < 0 || index >= dimensions.size()) return "IllegalDimension";
  return shortForm ? dimensions[index].shortName() : dimensions[index].name;
}

std::int32_t DataStore::findProperty(const std::string& name, bool shortForm) const {
  return findName(properties, name, shortForm);
}

std::int32_t DataStore::findDimension(const std::string& name, bool shortForm) const {
  Array<std::string> names(dimensions.size());
  for (std::int32_t i = 0; i < dimensions.size(); ++i) names[i] = dimensions[i].name;
  return findName(names, name, shortForm);
}

std::int32_t DataStore::findPropertyPrefix(const std::string& key) const { return findPrefix(properties, key); }

std::int32_t DataStore::findDimensionPrefix(const std::string& key) const {
  for (std::int32_t i = 0; i < dimensions.size(); ++i)
    if (dimensions[i].name.compare(0, key.size(), key) == 0) return i;
  return -1;
}

std::int32_t DataStore::currentIndex(std::int64_t dimension) const {
  if (dimension < 0 || dimension >= dimensions.size()) return -1;
  return dimensions[dimension].currentIndex;
}

void DataStore::setCurrentIndex(std::int64_t dimension, std::int32_t index) {
  if (dimension < 0 || dimension >= dimensions.size()) return;
  dimensions[dimension].currentIndex = index;
}

void DataStore::setCurrentProperty(std::int32_t index) { currentProperty = index; }

std::int64_t DataStore::stride(std::int32_t dimension) const {
  std::int64_t s = 1;
  for (std::int32_t k = 0; k < dimension && k < dimensions.size(); ++k) s *= dimensions[k].size();
  return s;
}

// The offset of the value at every dimension's currentIndex (but exceptDimension's, taken
// as 0) and currentProperty's sub-block. Checks that the block has the size the
// dimensions and properties give it and that every index lies inside its dimension.
std::int64_t DataStore::offsetOfCurrent(std::int32_t exceptDimension) const {
  std::int64_t perProperty = valuesPerProperty();
  if (perProperty < 0 || perProperty * properties.size() != data.count) outOfBlock();
  if (currentProperty < 0 || currentProperty >= properties.size()) outOfBlock();
  std::int64_t offset = currentProperty * perProperty, s = 1;
  for (std::int32_t k = 0; k < dimensions.size(); ++k) {
    const auto& d = dimensions[k];
    if (k != exceptDimension) {
      if (d.currentIndex < 0 || d.currentIndex >= d.size()) outOfBlock();
      offset += d.currentIndex * s;
    }
    s *= d.size();
  }
  return offset;
}

float& DataStore::currentValue() { return data[offsetOfCurrent(-1)]; }

Array<float> DataStore::trace(std::int32_t dimension, std::int32_t property) {
  if (dimension < 0 || dimension >= dimensions.size()) outOfBlock();
  std::int32_t saved_ = currentProperty;
  currentProperty = property;
  std::int64_t offset;
  try {
    offset = offsetOfCurrent(dimension);
  } catch (...) {
    currentProperty = saved_;
    throw;
  }
  currentProperty = saved_;
  std::int32_t n = dimensions[dimension].size();
  if (n == 0) return Array<float>();
  return Array<float>(n, data.data + offset, static_cast<std::int32_t>(stride(dimension)));
}

Array<float> DataStore::valuesAt(const std::vector<std::int32_t>& indexTuple) {
  if (indexTuple.size() != static_cast<std::size_t>(dimensions.size())) outOfBlock();
  std::int64_t perProperty = valuesPerProperty();
  if (perProperty < 0 || perProperty * properties.size() != data.count) outOfBlock();
  std::int64_t offset = 0, s = 1;
  for (std::int32_t k = 0; k < dimensions.size(); ++k) {
    auto i = indexTuple[static_cast<std::size_t>(k)];
    if (i < 0 || i >= dimensions[k].size()) outOfBlock();
    offset += i * s;
    s *= dimensions[k].size();
  }
  if (properties.size() == 0) return Array<float>();
  return Array<float>(properties.size(), data.data + offset, static_cast<std::int32_t>(perProperty));
}

void DataStore::setValuesAt(const std::vector<std::int32_t>& indexTuple, const Array<float>& values) {
  Array<float> view = valuesAt(indexTuple);
  view = values;
}

void DataStore::computeRange() {
  if (data.count <= 0) return;
  // Floats compare in float exactly as in double, and the order of the walk does not change
  // the result, so the bounds are found several values at a time.
  float lo = data.data[0], hi = data.data[0];
  extendRange(data.data, static_cast<std::size_t>(data.count), lo, hi);
  minValue = lo;
  maxValue = hi;
}

bool DataStore::hasSpectraKineticShape() const {
  std::int32_t wavelength = findDimensionPrefix("Wavelength");
  return wavelength >= 0 && dimensions[wavelength].size() >= 2 && findDimensionPrefix("Time") >= 0;
}

void DataStore::deriveFrom(const DataStore& parentStore, const std::string& parentFileName, bool modified,
                           bool compliantNow) {
  parent.parentFileName = parentFileName;
  static_cast<DataStoreAttributes&>(parent) = parentStore.attributes;
  attributes.timeStamp = platform::ctimeNow();
  attributes.cfrCompliant = attributes.cfrCompliant && parent.cfrCompliant && compliantNow;
  attributes.dataUnmodified = !modified;
  attributes.fileId = platform::newFileId();
}

std::string DataStore::stampLastModified() {
  std::string now = platform::ctimeNow();
  if (!now.empty() && now.back() == '\n') now.pop_back();
  lastModified = now;
  return lastModified;
}

std::string DataStore::historyText(const HistoryEntry& entry) { return datastore::historyText(entry); }

std::vector<std::string> DataStore::historyLines() const {
  std::vector<std::string> lines;
  lines.reserve(history.size());
  for (const auto& entry : history) lines.push_back(historyText(entry));
  return lines;
}

void DataStore::describeAttributes(std::ostream& out) const {
  if (formatName == "CARY-ASCII") {
    out << "Title: " << title << "\r\n\r\n";
    for (const auto& line : headerLines) out << line << "\r\n";
    return;
  }
  out << "Attributes :" << "\r\n";
  out << "- Time Stamp :" << (formatName == "LumBinaryX" ? attributes.timeStamp : title) << "\r\n";
  out << "- File ID : " << attributes.fileId << "\r\n";
  out << "- Is CFR Compliant : " << (attributes.cfrCompliant ? "true" : "false") << "\r\n";
  out << "- " << (attributes.dataUnmodified ? "Original data has not been modified." : "Data has been modified:")
      << "\r\n";
  if (!attributes.dataUnmodified) {
    out << "- Parent File Name : " << parent.parentFileName << "\r\n";
    out << "- Parent File ID   : " << parent.fileId << "\r\n" << "\r\n";
  }
}

}  // namespace lumatix::datastore
