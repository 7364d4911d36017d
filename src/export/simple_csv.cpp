#include "export/simple_csv.h"

#include "datastore/data_store.h"
#include "export/store_layout.h"
#include "export/text_sink.h"

namespace lumatix::exports {

bool writeSimpleCSV(std::ostream& out, const datastore::DataStore& store, Reporter& reporter) {
  const std::vector<std::int32_t> order = outputOrder(store);
  if (order.empty()) {
    reporter.error("Sorry. The current dataset does not contain any data to save.\n");
    return false;
  }
  requireValueBlock(store);
  const bool twoDimensions = order.size() > 1 && store.dimensions[order[1]].size() > 1;
  if (twoDimensions)
    reporter.warning(
        "Warning!\nThe current dataset contains more than one Dimension.\nThe saved data file will contain only the "
        "most significant\nDimension.\n");

  const float* values = store.data.data;
  const auto& rows = store.dimensions[order[0]];
  const std::int64_t rowStride = store.stride(order[0]);
  TextSink sink(out);
  if (!twoDimensions) {
    for (std::int32_t p = 0; p < store.properties.size(); ++p) {
      const std::int64_t base = baseOffset(store, p, {order[0]});
      for (std::int32_t i = 0; i < rows.size(); ++i)
        sink.number(rows.values[i]).put(',').number(values[base + i * rowStride]).put('\n');
      sink.put('\n');
    }
    return true;
  }

  const auto& columns = store.dimensions[order[1]];
  const std::int64_t columnStride = store.stride(order[1]);
  const float split = splitValue(store, order[1]);
  const std::int32_t property = store.currentProperty >= 0 && store.currentProperty < store.properties.size()
                                    ? store.currentProperty
                                    : 0;
  if (store.properties.size() == 0) return true;
  const std::int64_t base = baseOffset(store, property, {order[0], order[1]});
  for (std::int32_t i = 0; i < rows.size(); ++i) {
    sink.number(rows.values[i]);
    const float* row = values + base + i * rowStride;
    for (std::int32_t j = 0; j < columns.size(); ++j)
      if (columns.values[j] <= split) sink.put(',').number(row[j * columnStride]);
    sink.put('\n');
  }
  return true;
}

}  // namespace lumatix::exports
