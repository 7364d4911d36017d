#pragma once
// The launch pad's three file-operation queues: files dropped on the tree are copied,
// moved or linked into the folder under the drop point by one worker thread per queue.
// A worker is started by the first drop of its kind, takes its queue in order, and ends
// when stopped, while waiting or between two files. Workers touch only the file system and
// their queue; the tree is refreshed by whoever owns the launch pad, on its own thread.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumatix::app {

enum class DropEffect { Copy, Move, Link };

// The name of the symbolic link that a link drop creates for a file.
std::string shortcutName(const std::string& fileName);

class FileOperationQueue {
 public:
  explicit FileOperationQueue(DropEffect effect);
  // Stops the worker and waits for it.
  ~FileOperationQueue();
  FileOperationQueue(const FileOperationQueue&) = delete;
  FileOperationQueue& operator=(const FileOperationQueue&) = delete;

  // Appends the files for targetFolder; starts the worker on first use. Ignored once stopped.
  void enqueue(const std::vector<std::string>& files, const std::string& targetFolder);
  // Ends the worker after the file in hand (if any); the rest of the queue is dropped.
  void stop();
  // Waits until the queue is empty and no file is in hand (for refreshing and for tests).
  void waitUntilIdle();

  // How many files were handled, and the texts of those that failed, oldest first.
  std::size_t done() const;
  std::vector<std::string> failures() const;
  // Files still waiting.
  std::size_t pending() const;

 private:
  struct Job {
    std::string source;
    std::string folder;
  };
  void run();
  void perform(const Job& job);

  const DropEffect effect_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Job> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::size_t done_ = 0;
  std::vector<std::string> failures_;
  std::thread worker_;
};

// The three queues of one launch pad.
class FileOperations {
 public:
  // Queues the dropped paths once each (names compared ignoring letter case) for the drop
  // effect and the folder under the drop point. Returns how many were queued.
  std::size_t drop(const std::vector<std::string>& paths, DropEffect effect, const std::string& targetFolder);
  FileOperationQueue& queue(DropEffect effect);
  // Signals all three workers to end.
  void stop();

 private:
  FileOperationQueue copy_{DropEffect::Copy};
  FileOperationQueue move_{DropEffect::Move};
  FileOperationQueue link_{DropEffect::Link};
};

}  // namespace lumatix::app
