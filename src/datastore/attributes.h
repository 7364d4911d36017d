#pragma once
// Compliance attributes of a DataStore and of the store it was derived from.

#include <string>

namespace lumatix::datastore {

struct DataStoreAttributes {
  bool dataUnmodified = true;  // the measurement as acquired, not a processed derivative
  bool cfrCompliant = true;    // the file and its whole ancestry were made under 21 CFR Part 11 rules
  std::string timeStamp;       // ctime form, with its trailing newline
  std::string fileId;          // GUID of this file version, or empty
  friend bool operator==(const DataStoreAttributes&, const DataStoreAttributes&) = default;
};

struct ParentAttributes : DataStoreAttributes {
  std::string parentFileName;
  friend bool operator==(const ParentAttributes&, const ParentAttributes&) = default;
};

}  // namespace lumatix::datastore
