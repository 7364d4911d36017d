#pragma once
// Which traces a file is cut into: the x dimension, the dimension along which traces run, the
// index at which every other dimension is held and the trace-type option row. The command
// line fills it from --x, --traces, --at and --option; the plot window's control for further
// dimensions uses the same rule.

#include <stdexcept>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "processing/data_set.h"
#include "processing/trace_cut.h"

namespace lumatix::app {

// A choice the file cannot satisfy; what() is the text shown to the person.
class TraceChoiceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TraceChoice {
  std::string x;                // a dimension's short name, full name or index; empty: view axis 0
  std::string traces;           // likewise, or "none"; empty: view axis 1
  std::vector<std::string> at;  // DIM=INDEX for the other dimensions (index 0 otherwise)
  int option = -1;              // the trace-type option row; -1: the stored option
};

// The dimension a --x, --traces or --at value names. Throws TraceChoiceError when there is none.
int resolveDimension(const datastore::DataStore& store, const std::string& text);

// The x and trace dimensions the choice comes to (trace -1 for a single trace), with the
// saved view's axes as defaults. Throws TraceChoiceError for a choice the file cannot meet.
struct TraceAxes {
  int x = 0;
  int traces = -1;
};
TraceAxes resolveAxes(const datastore::DataStore& store, const TraceChoice& choice);

// Sets the store's current indices as chosen and loads the data set of property 0.
// Throws TraceChoiceError for a dimension or index the file does not have, and the data
// set's own messages.
processing::CDataSet loadTraces(datastore::DataStore& store, const TraceChoice& choice);
// The same without copying the values: set gets every field but the rows, and the returned cut
// reads the values from the store.
processing::TraceCut loadTraceShape(datastore::DataStore& store, const TraceChoice& choice, processing::CDataSet& set);

}  // namespace lumatix::app
