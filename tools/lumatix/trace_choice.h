#pragma once
// The trace-choice options of the commands that cut a file into traces: --x, --traces,
// --at DIM=INDEX and --option, with the defaults taken from the file's saved view.

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "datastore/data_store.h"
#include "processing/data_set.h"

namespace lumatix::cli {

struct TraceChoice {
  std::string x;                // a dimension's short name or index; empty: view axis 0
  std::string traces;           // likewise, or "none"; empty: view axis 1
  std::vector<std::string> at;  // DIM=INDEX for the other dimensions (index 0 otherwise)
  int option = -1;              // the trace-type option row; -1: the stored option
};

void addTraceChoiceOptions(CLI::App& command, TraceChoice& choice);

// The dimension a --x, --traces or --at value names. Throws CommandError when there is none.
int resolveDimension(const datastore::DataStore& store, const std::string& text);

// Sets the store's current indices as chosen and loads the data set of property 0.
// Throws CommandError for a dimension or index the file does not have, and the data set's
// own messages.
processing::CDataSet loadTraces(datastore::DataStore& store, const TraceChoice& choice);

}  // namespace lumatix::cli
