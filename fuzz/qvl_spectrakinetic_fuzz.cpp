// Any bytes given to the QVL-ASCII-SPECTRAKINETIC reader either throw (with a reason) or
// make a store that writes back in the same format and reads again with the same values.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "datastore/qvl_ascii.h"
#include "refusal_check.h"
#include "text_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumatix::datastore;
  DataStore store(true);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!lumatix::fuzz::readOrRequireReason([&] {
        readQvlSpectraKinetic(store, in);
        return !in.fail();
      }))
    return 0;
  lumatix::fuzz::checkLumatixStoreRoundTrip(store);

  // Written wavelengths ascend, so only an ascending store keeps its value order; the
  // remark lines grow by the separator on every pass and stop at the limit of 1000.
  const auto& lambdas = store.dimensions[0].values;
  if (!store.hasSpectraKineticShape() || lambdas[1] < lambdas[0] || store.remarks.size() > 990) return 0;
  for (const auto& remark : store.remarks)
    if (remark.find('\r') != std::string::npos) return 0;
  std::ostringstream out;
  try {
    writeQvlSpectraKinetic(store, out);
  } catch (const std::runtime_error&) {
    return 0;  // a store with only "Count" data has nothing the format can hold, and says so
  }
  DataStore again(true);
  std::istringstream back(out.str());
  try {
    readQvlSpectraKinetic(again, back);
  } catch (const std::exception&) {
    std::abort();
  }
  if (again.data.count != store.data.count) std::abort();
  for (std::int32_t i = 0; i < store.data.count; ++i)
    if (!lumatix::fuzz::sameText(store.data.data[i], again.data.data[i])) std::abort();
  return 0;
}
