#pragma once
// Writes many stores on a few threads, so that the wait for each file to reach the disk
// (every file is synced before it takes its name) overlaps with the others. Stores are
// handed over whole and written in any order; failures are reported as the first one in
// the order the stores were handed over.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/store_output.h"

namespace lumatix::app {

class ParallelStoreWriter {
 public:
  // write must be safe to call from several threads at once on different stores.
  ParallelStoreWriter(StoreWriter write, unsigned threads);
  // Waits for the files in hand; a failure not yet reported is dropped.
  ~ParallelStoreWriter();
  ParallelStoreWriter(const ParallelStoreWriter&) = delete;
  ParallelStoreWriter& operator=(const ParallelStoreWriter&) = delete;

  // Queues a store for path; waits while a few are already waiting, to bound the memory.
  void submit(std::unique_ptr<datastore::DataStore> store, std::string path);
  // True once any write failed; nothing more should be submitted then.
  bool failed() const;
  // The number of files written so far.
  std::size_t written() const;
  // Waits for every queued file, then throws std::runtime_error with the text of the first
  // failure (in submission order), if any.
  void finish();

 private:
  struct Job {
    std::size_t sequence;
    std::unique_ptr<datastore::DataStore> store;
    std::string path;
  };
  void run();
  void stopThreads();

  StoreWriter write_;
  std::size_t limit_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> queue_;
  std::size_t submitted_ = 0;
  std::size_t inHand_ = 0;
  std::size_t written_ = 0;
  bool stopping_ = false;
  std::optional<std::pair<std::size_t, std::string>> firstFailure_;
  std::vector<std::thread> threads_;
};

}  // namespace lumatix::app
