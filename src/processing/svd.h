#pragma once
// Singular value decomposition of the traces of a data set: rows are the present traces
// (segment A), columns the x values. The results are new stores, each derived from the
// source store and carrying one history entry that names the source file and K.

#include <memory>
#include <string>
#include <vector>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::processing {

class CDataSet;

struct SvdResult {
  std::vector<double> singularValues;  // all of them, largest first
  std::unique_ptr<datastore::DataStore> values;      // over "Component"
  std::unique_ptr<datastore::DataStore> basis;       // over x and "Component", scaled by s_k
  std::unique_ptr<datastore::DataStore> amplitudes;  // over the trace axis and "Component"
  std::unique_ptr<datastore::DataStore> rebuilt;     // over x and the trace axis: rebuilt, residual
};

// Decomposes the present traces of set and keeps the first `components` components.
// parent (may be null) is the store the data set was cut from; sourceFile names it in the
// history. Throws, building nothing, for fewer than two traces, traces of unequal length,
// values that are not finite, and a component count below 1 or above the rank.
SvdResult DecomposeTraces(const CDataSet& set, int components, const std::string& sourceFile,
                          const datastore::DataStore* parent, bool compliantNow);

}  // namespace lumatix::processing
