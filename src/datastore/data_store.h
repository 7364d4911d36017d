#pragma once
// DataStore: one measurement. A dense block of single-precision values spanned by named
// dimensions and by a list of measured properties, with remarks, option lines, an audit
// history, compliance attributes and the plot view saved with it.
//
// Value layout: the value of property p at index tuple (i0, ..., in-1) lies at
// i0 + i1*s1 + ... + in-1*sn-1 + p*N, where s0 = 1, sk+1 = sk*size(k) and N = the product
// of the sizes: dimension 0 varies fastest, the property slowest.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "datastore/array.h"
#include "datastore/attributes.h"
#include "datastore/dimension.h"
#include "datastore/dpointer.h"
#include "datastore/history_entry.h"
#include "datastore/view_state.h"

namespace lumatix::datastore {

class DataStore {
 public:
  // The largest number of dimensions or properties a store may have.
  static constexpr std::int32_t kMaxDimensions = 255;
  static constexpr std::int32_t kMaxProperties = 255;

  explicit DataStore(bool saved = true);
  DataStore(std::string title, std::int32_t propertyCount, std::int32_t dimensionCount);

  // Copies every field except modifiedBy and initialised: a copy starts not initialised,
  // an assigned store keeps its own flag.
  DataStore(const DataStore& other);
  DataStore& operator=(const DataStore& other);
  virtual ~DataStore() = default;

  // --- building ---
  std::int32_t addProperty(const std::string& name);
  std::int32_t addDimension(const Dimension& dimension);
  // Allocates the zeroed value block, rebuilds the view state and logs "DataStore initialized :".
  // Returns false when the block cannot be had (including more values than an int32 counts).
  bool initialise();
  bool makePlaceholder();
  void addRemark(const std::string& text);
  void addHistory(const HistoryEntry& entry);

  // --- names and lookups ---
  std::string propertyName(std::int64_t index, bool shortForm) const;
  std::string dimensionName(std::int64_t index, bool shortForm) const;
  std::int32_t findProperty(const std::string& name, bool shortForm) const;
  std::int32_t findDimension(const std::string& name, bool shortForm) const;
  std::int32_t findPropertyPrefix(const std::string& key) const;
  std::int32_t findDimensionPrefix(const std::string& key) const;
  std::int32_t currentIndex(std::int64_t dimension) const;
  void setCurrentIndex(std::int64_t dimension, std::int32_t index);
  void setCurrentProperty(std::int32_t index);

  // --- values ---
  // The number of values of one property (the product of the dimension sizes), or -1 when
  // it does not fit an int32.
  std::int64_t valuesPerProperty() const;
  // The distance between neighbours along a dimension, in values.
  std::int64_t stride(std::int32_t dimension) const;
  // Every access below is checked against the block and throws
  // "Index out-of-range in DPointer::operator[]" when it would leave it.
  float& currentValue();
  // A non-owning view along one dimension, the others held at their currentIndex.
  Array<float> trace(std::int32_t dimension, std::int32_t property);
  Array<float> valuesAt(const std::vector<std::int32_t>& indexTuple);
  void setValuesAt(const std::vector<std::int32_t>& indexTuple, const Array<float>& values);
  void computeRange();
  bool hasSpectraKineticShape() const;

  // --- attributes and history ---
  void deriveFrom(const DataStore& parentStore, const std::string& parentFileName, bool modified,
                  bool compliantNow);
  std::string stampLastModified();
  static std::string historyText(const HistoryEntry& entry);
  std::vector<std::string> historyLines() const;
  void describeAttributes(std::ostream& out) const;

  // --- loading (the format is chosen by the first line of the file) ---
  bool load(const std::string& path, bool headerOnly);

  std::string title;
  Array<std::string> remarks;
  Array<std::string> properties;
  Array<Dimension> dimensions;
  Array<std::string> options;
  Array<std::string> headerLines;
  std::vector<HistoryEntry> history;
  Array<std::string> extraStrings;
  DPointer data;
  double minValue = 0.0;
  double maxValue = 0.0;
  std::int32_t currentProperty = 0;
  std::string formatName;
  std::string filePath;
  std::string lastModified;
  std::string modifiedBy;
  bool allowCary = false;
  bool saved = true;
  bool isPlaceholder = false;
  bool initialised = false;
  ViewState viewState;
  DataStoreAttributes attributes;
  ParentAttributes parent;

 private:
  std::int64_t offsetOfCurrent(std::int32_t exceptDimension) const;
};

}  // namespace lumatix::datastore
