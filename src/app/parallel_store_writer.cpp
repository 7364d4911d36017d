#include "app/parallel_store_writer.h"

#include <stdexcept>

#include "datastore/data_store.h"

namespace lumatix::app {

ParallelStoreWriter::ParallelStoreWriter(StoreWriter write, unsigned threads)
    : write_(std::move(write)), limit_(2 * std::size_t{threads == 0 ? 1u : threads}) {
  for (unsigned i = 0; i < (threads == 0 ? 1u : threads); ++i) threads_.emplace_back([this] { run(); });
}

ParallelStoreWriter::~ParallelStoreWriter() { stopThreads(); }

void ParallelStoreWriter::stopThreads() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && inHand_ == 0; });
    stopping_ = true;
  }
  changed_.notify_all();
  for (auto& t : threads_)
    if (t.joinable()) t.join();
  threads_.clear();
}

void ParallelStoreWriter::submit(std::unique_ptr<datastore::DataStore> store, std::string path) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < limit_; });
  queue_.push_back({submitted_++, std::move(store), std::move(path)});
  changed_.notify_all();
}

bool ParallelStoreWriter::failed() const {
  std::lock_guard lock(mutex_);
  return firstFailure_.has_value();
}

std::size_t ParallelStoreWriter::written() const {
  std::lock_guard lock(mutex_);
  return written_;
}

void ParallelStoreWriter::finish() {
  stopThreads();
  std::lock_guard lock(mutex_);
  if (firstFailure_) throw std::runtime_error(firstFailure_->second);
}

void ParallelStoreWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++inHand_;
    // After a failure, what was handed over later is dropped unwritten.
    const bool skip = firstFailure_ && job.sequence > firstFailure_->first;
    changed_.notify_all();
    lock.unlock();
    std::string failure;
    if (!skip) {
      try {
        write_(*job.store, job.path);
      } catch (const std::exception& e) {
        failure = e.what();
        if (failure.empty()) failure = "Could not write " + job.path;
      }
    }
    job.store.reset();
    lock.lock();
    --inHand_;
    if (!failure.empty()) {
      if (!firstFailure_ || job.sequence < firstFailure_->first) firstFailure_.emplace(job.sequence, failure);
    } else if (!skip) {
      ++written_;
    }
    changed_.notify_all();
  }
}

}  // namespace lumatix::app
