#include "app/trace_transfer.h"

#include <memory>
#include <sstream>
#include <stdexcept>

#include "datastore/lum_binary.h"

namespace lumatix::app {

std::string encodeTraces(const processing::CDataSet& traces, const datastore::DataStore& source,
                         const std::string& sourcePath, bool compliantNow) {
  std::unique_ptr<datastore::DataStore> store = traces.ToDataStore();
  store->deriveFrom(source, sourcePath, traces.modified || !source.attributes.dataUnmodified, compliantNow);
  std::ostringstream out(std::ios::binary);
  datastore::writeLumBinaryX(*store, out, false);
  if (!out) throw std::runtime_error("The traces could not be written.\n");
  return std::move(out).str();
}

datastore::smart_ptr<datastore::DataStore> decodeTraces(std::string_view bytes) {
  std::istringstream in(std::string(bytes), std::ios::binary);
  auto store = std::make_unique<datastore::DataStore>(true);
  datastore::readLumBinaryX(*store, in, false);
  if (in.bad() || (in.fail() && !in.eof())) throw std::runtime_error("The file is corrupt.\n");
  if (store->dimensions.size() < 1 || store->properties.size() < 1)
    throw std::runtime_error("The file is corrupt.\n");
  return datastore::smart_ptr<datastore::DataStore>(store.release());
}

std::string transferredName(const datastore::DataStore& store) {
  return store.parent.parentFileName.empty() ? std::string("Traces") : store.parent.parentFileName;
}

}  // namespace lumatix::app
