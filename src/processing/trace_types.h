#pragma once
// The trace-type table: how the text of a value property ("CircularDichroism -me",
// "Absorbance", ...) names a plot's type, y-axis label and unit code, which other units of
// the same quantity the values can be shown in, and the default y range of each unit.

#include <cstdint>
#include <string>
#include <vector>

#include "fitting/evaluator.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::processing {

// One option row of a trace type. The last row of each list is the type's default row and
// has no option key.
struct TraceTypeRow {
  const char* optionKey;  // nullptr for the default row
  const char* yLabel;
  const char* shortName;
  int unitCode;
  fitting::Program fromBase;  // the type's common quantity to this row's unit; may be null
  fitting::Program toBase;    // this row's unit to the common quantity; may be null
};

struct TraceTypeList {
  const char* typeKey;
  std::vector<TraceTypeRow> rows;
};

// The whole table, in lookup order.
const std::vector<TraceTypeList>& traceTypeTable();

// What a lookup found for one value property.
struct TraceInfo {
  const TraceTypeList* list = nullptr;  // null when no type key occurs in the property text
  int selectedRow = -1;
  int storedRow = -1;
  bool explicitOption = false;  // an option was chosen and differs from the stored one
  std::string optionKey;        // the selected row's key, empty for a default row
  std::string valueName;        // property's first word, a blank, the option key
  std::string yLabel;
  int unitCode = -1;
  std::string shortName;

  // A stored value shown in the selected row's unit: unchanged unless an option was chosen
  // explicitly. Throws fitting::CMathFn::STACK_ERROR only for a malformed program.
  double Transform(double value) const;
  // The conversion Transform applies (inactive when no option was chosen explicitly).
  fitting::UnitConversion conversion() const;
};

// Looks up the type of property valueIndex of the store. optionIndex >= 0 selects that option
// row instead of the stored one. Throws "The currently selected option is invalid.\n" for a
// row that does not exist; an unknown type never fails. An index that is not a property of
// the store is looked up as the text "IllegalProperty".
TraceInfo lookupTraceType(const datastore::DataStore& store, int valueIndex, int optionIndex);

// The same lookup on a property text.
TraceInfo lookupTraceType(const std::string& propertyText, int optionIndex);

// The standard y range of a unit code; false (low and high untouched) for codes that have none.
bool defaultRange(int unitCode, double& low, double& high);

}  // namespace lumatix::processing
