#pragma once
// Traces handed from one plot to another by drag and drop or the clipboard: the traces are
// turned into a store of their own (as "Save Selected Traces" would) and carried in
// LumBinaryX form, so that the receiving side reads them with the same checks as a file.

#include <string>
#include <string_view>

#include "datastore/data_store.h"
#include "datastore/smart_ptr.h"
#include "processing/data_set.h"

namespace lumatix::app {

// The present traces of `traces` as LumBinaryX bytes, derived from the plot's store and its
// file (which the receiver names in its "Plot overlayed : " entry). Throws the data set's and
// the writer's messages.
std::string encodeTraces(const processing::CDataSet& traces, const datastore::DataStore& source,
                         const std::string& sourcePath, bool compliantNow);

// The store carried by such bytes. Throws std::runtime_error("The file is corrupt.\n") or the
// reader's own message for bytes that are not a whole LumBinaryX store.
datastore::smart_ptr<datastore::DataStore> decodeTraces(std::string_view bytes);

// The name the receiver gives dragged traces: the file they came from, else "Traces".
std::string transferredName(const datastore::DataStore& store);

}  // namespace lumatix::app
