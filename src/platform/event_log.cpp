#include "platform/event_log.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "platform/clock.h"

namespace lumatix::platform {

namespace {
constexpr int kUserInfoPriority = 1 * 8 + 6;  // facility user, severity information

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.data(), path.size());
  return true;
}
}  // namespace

CEventLog::CEventLog(const std::string& sourceName, const std::string& messageFile, std::string syslogSocket)
    : syslogSocket_(std::move(syslogSocket)) {
  if (!sourceName.empty()) Register(sourceName, messageFile);
}

CEventLog::~CEventLog() { Deregister(); }

bool CEventLog::Register(const std::string& sourceName, const std::string& messageFile) {
  Deregister();
  source_ = sourceName.substr(0, kMaxSourceName);
  // The message file only matters to the Windows event viewer; it is kept for callers that ask.
  messageFile_ = messageFile.substr(0, kMaxSourceName);
  const char* sink = std::getenv("LUMATIX_EVENT_LOG");
  fileSink_ = sink ? sink : "";
  struct stat st {};
  bool syslogThere = ::stat(syslogSocket_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
  if (syslogThere) socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  registered_ = !source_.empty() && (socket_ >= 0 || !fileSink_.empty());
  return registered_;
}

void CEventLog::Deregister() {
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
  registered_ = false;
}

bool CEventLog::Report(const std::string& text) {
  if (!registered_) return false;
  bool toSyslog = sendToSyslog(text);
  bool toFile = appendToFile(text);
  return toSyslog || toFile;
}

bool CEventLog::sendToSyslog(const std::string& text) const {
  if (socket_ < 0) return false;
  sockaddr_un address{};
  if (!fillAddress(syslogSocket_, address)) return false;
  // The header syslog(3) writes: <priority>Mmm dd hh:mm:ss ident[pid]: message
  std::string record = "<" + std::to_string(kUserInfoPriority) + ">" + formatTime(localTime(), "%b %e %H:%M:%S") +
                       " " + source_ + "[" + std::to_string(::getpid()) + "]: uid=" + std::to_string(::geteuid()) +
                       " event=0x20000001 " + text;
  ssize_t sent = ::sendto(socket_, record.data(), record.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address),
                          sizeof address);
  return sent == static_cast<ssize_t>(record.size());
}

bool CEventLog::appendToFile(const std::string& text) const {
  if (fileSink_.empty()) return false;
  int fd = ::open(fileSink_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  std::string record = formatEventRecord({source_, ::geteuid(), text});
  // One write per record, so records of two processes never interleave.
  ssize_t written = ::write(fd, record.data(), record.size());
  ::close(fd);
  return written == static_cast<ssize_t>(record.size());
}

std::vector<EventRecord> readEventLogFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string data;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return parseEventLog(data, path);
}

std::string formatEventRecord(const EventRecord& record) {
  return record.source + "\tuid=" + std::to_string(record.uid) + "\tevent=0x20000001\tlength=" +
         std::to_string(record.text.size()) + "\n" + record.text + "\n";
}

std::vector<EventRecord> parseEventLog(const std::string& data, const std::string& name) {
  const std::runtime_error corrupt("Corrupt event log " + name);
  std::vector<EventRecord> records;
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t eol = data.find('\n', pos);
    if (eol == std::string::npos) throw corrupt;
    std::string header = data.substr(pos, eol - pos);
    std::size_t t1 = header.find("\tuid=");
    std::size_t t2 = header.find("\tevent=0x20000001\tlength=");
    if (t1 == std::string::npos || t2 == std::string::npos || t2 < t1) throw corrupt;
    EventRecord r;
    r.source = header.substr(0, t1);
    std::string uid = header.substr(t1 + 5, t2 - t1 - 5);
    std::string len = header.substr(t2 + 25);
    std::size_t length = 0;
    auto [e1, c1] = std::from_chars(uid.data(), uid.data() + uid.size(), r.uid);
    auto [e2, c2] = std::from_chars(len.data(), len.data() + len.size(), length);
    if (c1 != std::errc() || e1 != uid.data() + uid.size() || c2 != std::errc() || e2 != len.data() + len.size())
      throw corrupt;
    pos = eol + 1;
    if (length > data.size() - pos || data.size() - pos - length < 1 || data[pos + length] != '\n') throw corrupt;
    r.text = data.substr(pos, length);
    pos += length + 1;
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace lumatix::platform
