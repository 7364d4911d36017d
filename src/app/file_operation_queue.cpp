#include "app/file_operation_queue.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/launch_pad_paths.h"
#include "platform/atomic_file.h"

namespace lumatix::app {

namespace fs = std::filesystem;

std::string shortcutName(const std::string& fileName) { return "Shortcut to " + fileName + ".lnk"; }

FileOperationQueue::FileOperationQueue(DropEffect effect) : effect_(effect) {}

FileOperationQueue::~FileOperationQueue() {
  stop();
  if (worker_.joinable()) worker_.join();
}

void FileOperationQueue::enqueue(const std::vector<std::string>& files, const std::string& targetFolder) {
  std::lock_guard lock(mutex_);
  if (stopping_) return;
  for (const auto& f : files) queue_.push_back({f, targetFolder});
  if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
  wake_.notify_one();
}

void FileOperationQueue::stop() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  queue_.clear();
  wake_.notify_all();
  idle_.notify_all();
}

void FileOperationQueue::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return (queue_.empty() && !busy_) || stopping_; });
}

std::size_t FileOperationQueue::done() const {
  std::lock_guard lock(mutex_);
  return done_;
}

std::vector<std::string> FileOperationQueue::failures() const {
  std::lock_guard lock(mutex_);
  return failures_;
}

std::size_t FileOperationQueue::pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

void FileOperationQueue::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // An idle worker looks again every second, as well as when woken.
    while (queue_.empty() && !stopping_) wake_.wait_for(lock, std::chrono::seconds(1));
    if (stopping_) return;
    Job job = queue_.front();
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    std::string failure;
    try {
      perform(job);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    lock.lock();
    busy_ = false;
    ++done_;
    if (!failure.empty()) failures_.push_back(failure);
    if (queue_.empty()) idle_.notify_all();
  }
}

namespace {

// Copies through a temporary beside the target, so an interrupted copy never leaves a
// truncated file in place of the one it overwrites.
void copyOver(const std::string& source, const std::string& target) {
  std::ifstream in(source, std::ios::binary);
  if (!in) throw std::runtime_error("Can't open " + source + " for reading.");
  platform::AtomicFile out(target);
  out.stream() << in.rdbuf();
  if (in.bad()) throw std::runtime_error("Can't read " + source + ".");
  out.commit();
}

}  // namespace

void FileOperationQueue::perform(const Job& job) {
  const std::string name = fs::path(job.source).filename().string();
  std::error_code e;
  switch (effect_) {
    case DropEffect::Copy:
      if (fs::is_directory(job.source, e)) throw std::runtime_error("Can't copy the folder " + job.source + ".");
      copyOver(job.source, joinPath(job.folder, name));
      break;
    case DropEffect::Move: {
      const std::string target = joinPath(job.folder, name);
      // A move never replaces a file of the same name in the target folder.
      if (fs::exists(fs::symlink_status(target, e)))
        throw std::runtime_error("Can't move " + job.source + ": " + target + " exists.");
      fs::rename(job.source, target, e);
      if (e == std::errc::cross_device_link) {
        e.clear();
        copyOver(job.source, target);
        fs::remove(job.source, e);
      }
      if (e) throw std::runtime_error("Can't move " + job.source + ": " + e.message());
      break;
    }
    case DropEffect::Link: {
      const std::string target = joinPath(job.folder, shortcutName(name));
      fs::create_symlink(fs::absolute(job.source, e), target, e);
      if (e) throw std::runtime_error("Can't create " + target + ": " + e.message());
      break;
    }
  }
}

std::size_t FileOperations::drop(const std::vector<std::string>& paths, DropEffect effect,
                                 const std::string& targetFolder) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::vector<std::string> unique;
  std::vector<std::string> seen;
  for (const auto& p : paths) {
    std::string key = lower(p);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
    seen.push_back(key);
    unique.push_back(p);
  }
  queue(effect).enqueue(unique, targetFolder);
  return unique.size();
}

FileOperationQueue& FileOperations::queue(DropEffect effect) {
  switch (effect) {
    case DropEffect::Move:
      return move_;
    case DropEffect::Link:
      return link_;
    case DropEffect::Copy:
      break;
  }
  return copy_;
}

void FileOperations::stop() {
  copy_.stop();
  move_.stop();
  link_.stop();
}

}  // namespace lumatix::app
