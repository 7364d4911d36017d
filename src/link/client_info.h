#pragma once

// CClientInfo: the acquisition being received, shared by the link thread (which writes it) and
// the windows (which draw it on the GUI thread).
//
// Threading: the store is replaced under the store lock; the link thread writes values only
// while it holds the data lock, so a reader that holds the data lock sees whole blocks and no
// value changes under it. The store's reference count is atomic, so a window may keep its
// reference after the link replaced the store.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/smart_ptr.h"

namespace instrument_link {

using StorePtr = lumatix::datastore::smart_ptr<lumatix::datastore::DataStore>;

class CClientInfo {
 public:
  // The store being acquired (null before the first header).
  StorePtr store() const;
  std::string name() const;
  void setName(std::string name);

  // The header received so far.
  std::size_t headerSize() const { return header_.size(); }
  void appendHeader(std::string_view block) { header_.append(block); }
  // Reads the header (with this last block) into a new store with the LumBinaryX reader, given
  // the first-header flag as its header-only argument, and makes that store the one acquired.
  // A header the reader refuses leaves the new store as far as it was read; the header bytes
  // are emptied either way. Returns whether the reader took the header.
  bool completeHeader(std::string_view lastBlock, bool firstHeader);

  // Stores recordCount records laid out as the store's dimensions and properties call for
  // (one little-endian int32 index per dimension, one float per property). The caller has
  // checked that the records fit the buffer. A record whose index lies outside its dimension
  // is skipped and counted. Sets the new-data flag, also for no records.
  void storeDataBlock(std::string_view buffer, std::uint32_t recordCount);
  // The bytes one record takes in the current store (0 without a store).
  std::uint64_t recordBytes() const;

  bool newData() const { return newData_.load(std::memory_order_acquire); }
  // Counts the data blocks stored (and headers completed) since the record was made: a window
  // that remembers the count it last drew redraws only when the values changed since.
  std::uint64_t dataGeneration() const { return generation_.load(std::memory_order_acquire); }
  bool headerReady() const { return headerReady_.load(std::memory_order_acquire); }
  // Records skipped since the acquisition began.
  std::uint64_t skippedRecords() const { return skipped_.load(std::memory_order_relaxed); }
  std::uint64_t storedRecords() const { return stored_.load(std::memory_order_relaxed); }

  // A new acquisition begins: the header, the flags of the last one and the counts are reset.
  void beginAcquisition();

  // Held while drawing or saving the acquired store's values.
  std::unique_lock<std::mutex> lockData() const { return std::unique_lock(dataLock_); }

  // Which index tuples of the current store a record has set (one byte per tuple, in value
  // layout order, all set after a second header); read only while holding lockData(). A
  // store the link did not build has an empty mask.
  const std::vector<std::uint8_t>& receivedUnderLock() const { return received_; }

 private:
  mutable std::mutex storeLock_;
  mutable std::mutex dataLock_;
  StorePtr store_;
  std::string name_;
  std::string header_;  // the link thread's alone
  std::vector<std::uint8_t> received_;  // guarded by dataLock_
  std::atomic<bool> newData_{false};
  std::atomic<bool> headerReady_{false};
  std::atomic<std::uint64_t> skipped_{0};
  std::atomic<std::uint64_t> stored_{0};
  std::atomic<std::uint64_t> generation_{0};
};

}  // namespace instrument_link
