#pragma once
// One end of a local named pipe to the instrument's control panel: a FIFO named
// <runtime>/lumatix/<name>_OUT. The server end creates the FIFO and only writes; the client
// end opens an existing FIFO and hands the first message it reads to a callback on a
// listener thread of its own, which then ends.

#include <functional>
#include <string>
#include <thread>

namespace lumatix::platform {

class CNamedPipe {
 public:
  using Callback = std::function<void(const std::string& message)>;

  // A message is a text and its terminating zero byte, 1024 bytes at most.
  static constexpr std::size_t kMaxMessage = 1024;

  CNamedPipe() = default;
  // Closes both ends, removes a FIFO this object created, and ends a listener that still runs.
  virtual ~CNamedPipe();
  CNamedPipe(const CNamedPipe&) = delete;
  CNamedPipe& operator=(const CNamedPipe&) = delete;

  // Sets the machine (only "." the local computer can be reached) and the pipe name; path()
  // becomes <runtime>/lumatix/<name>, the FIFO itself is path() + "_OUT".
  void Init(const std::string& machine, const std::string& name);

  // The callback runs on the listener thread and must not destroy or reopen its own pipe.
  // Closes what is open first. Server end: creates the FIFO (replacing a stale one).
  // Client end: opens the existing FIFO for reading and starts the listener. Fails without a
  // callback, for another machine, or when the client's FIFO does not exist.
  bool Open(bool serverEnd, const std::string& quitText, Callback callback);

  // Server end only: writes the text and its zero byte at once. Fails at once, without
  // blocking, when no client has the pipe open or the message is longer than kMaxMessage.
  bool Write(const std::string& text);

  bool isServerEnd() const { return serverEnd_; }
  const std::string& name() const { return name_; }
  const std::string& machine() const { return machine_; }
  const std::string& path() const { return path_; }
  std::string fifoPath() const { return path_ + "_OUT"; }

 private:
  void close();
  static void listen(int readFd, int stopFd, Callback callback);

  bool serverEnd_ = false;
  bool created_ = false;
  std::string name_;
  std::string machine_;
  std::string path_;
  std::string quitText_;
  int readFd_ = -1;
  int stopWrite_ = -1;  // closing it wakes the listener and tells it to end
  std::thread listener_;
};

}  // namespace lumatix::platform
