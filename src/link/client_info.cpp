#include "link/client_info.h"

#include <cstring>
#include <exception>
#include <sstream>
#include <vector>

#include "datastore/lum_binary.h"

namespace instrument_link {
namespace {

std::uint32_t le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

}  // namespace

StorePtr CClientInfo::store() const {
  std::lock_guard lock(storeLock_);
  return store_;
}

std::string CClientInfo::name() const {
  std::lock_guard lock(storeLock_);
  return name_;
}

void CClientInfo::setName(std::string name) {
  std::lock_guard lock(storeLock_);
  name_ = std::move(name);
}

void CClientInfo::beginAcquisition() {
  header_.clear();
  skipped_.store(0, std::memory_order_relaxed);
  stored_.store(0, std::memory_order_relaxed);
}

bool CClientInfo::completeHeader(std::string_view lastBlock, bool firstHeader) {
  header_.append(lastBlock);
  StorePtr fresh(new lumatix::datastore::DataStore(false));
  bool read = true;
  try {
    std::istringstream in(std::move(header_));
    lumatix::datastore::readLumBinaryX(*fresh, in, firstHeader);
  } catch (const std::exception&) {
    read = false;  // the store stays as far as it was read
  }
  header_.clear();
  // Filled before it is shared: nobody sees a store the reader is still writing.
  fresh->saved = false;
  // The first header brings no values; the second is the whole file.
  const std::int64_t tuples = fresh->valuesPerProperty();
  std::vector<std::uint8_t> received(tuples > 0 ? static_cast<std::size_t>(tuples) : 0, firstHeader ? 0 : 1);
  {
    std::lock_guard data(dataLock_);
    std::lock_guard lock(storeLock_);
    store_ = fresh;
    received_ = std::move(received);
  }
  headerReady_.store(true, std::memory_order_release);
  generation_.fetch_add(1, std::memory_order_acq_rel);
  return read;
}

std::uint64_t CClientInfo::recordBytes() const {
  StorePtr s = store();
  if (!s) return 0;
  return 4ull * (static_cast<std::uint64_t>(s->dimensions.size()) + static_cast<std::uint64_t>(s->properties.size()));
}

void CClientInfo::storeDataBlock(std::string_view buffer, std::uint32_t recordCount) {
  StorePtr s = store();
  std::unique_lock lock(dataLock_);
  if (s && recordCount > 0) {
    auto& st = *s;
    const std::size_t dims = static_cast<std::size_t>(st.dimensions.size());
    const std::size_t props = static_cast<std::size_t>(st.properties.size());
    const std::size_t recordSize = 4 * (dims + props);
    std::vector<std::int64_t> sizes(dims), strides(dims);
    std::int64_t perProperty = 1;
    for (std::size_t k = 0; k < dims; ++k) {
      sizes[k] = st.dimensions[static_cast<std::int32_t>(k)].size();
      strides[k] = perProperty;
      perProperty *= sizes[k];
    }
    // A store whose value block does not match its dimensions (a header the reader refused)
    // takes no values.
    const bool shaped = st.data.data && perProperty * static_cast<std::int64_t>(props) == st.data.count &&
                        received_.size() == static_cast<std::size_t>(perProperty);
    std::uint64_t skipped = 0, stored = 0;
    const char* p = buffer.data();
    for (std::uint32_t r = 0; r < recordCount && static_cast<std::size_t>(p - buffer.data()) + recordSize <= buffer.size();
         ++r, p += recordSize) {
      std::int64_t offset = 0;
      bool inside = shaped;
      for (std::size_t k = 0; k < dims && inside; ++k) {
        const auto index = static_cast<std::int32_t>(le32(p + 4 * k));
        if (index < 0 || index >= sizes[k]) inside = false;
        offset += index * strides[k];
      }
      if (!inside) {
        ++skipped;
        continue;
      }
      const char* values = p + 4 * dims;
      for (std::size_t q = 0; q < props; ++q) {
        const std::uint32_t bits = le32(values + 4 * q);
        std::memcpy(st.data.data + offset + static_cast<std::int64_t>(q) * perProperty, &bits, 4);
      }
      received_[static_cast<std::size_t>(offset)] = 1;
      ++stored;
    }
    skipped_.fetch_add(skipped, std::memory_order_relaxed);
    stored_.fetch_add(stored, std::memory_order_relaxed);
  }
  newData_.store(true, std::memory_order_release);
  generation_.fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace instrument_link
