#pragma once
// The system event log: records go to the local syslog socket (the datagram form syslog(3)
// sends: information priority, the source name as ident) and, when LUMATIX_EVENT_LOG names
// a file, are appended there as well so that they can be read back.

#include <string>
#include <sys/types.h>
#include <vector>

namespace lumatix::platform {

class CEventLog {
 public:
  static constexpr std::size_t kMaxSourceName = 518;
  static constexpr unsigned kEventId = 0x20000001;

  // Registers at once when sourceName is not empty. syslogSocket is the datagram socket of
  // the system logger; the file sink comes from LUMATIX_EVENT_LOG at registration.
  explicit CEventLog(const std::string& sourceName = "", const std::string& messageFile = "",
                     std::string syslogSocket = "/dev/log");
  ~CEventLog();
  CEventLog(const CEventLog&) = delete;
  CEventLog& operator=(const CEventLog&) = delete;

  // True when a record can go somewhere: the syslog socket exists or a file sink is set.
  bool Register(const std::string& sourceName, const std::string& messageFile = "");
  // One information record with the text and the user's uid; true when a sink took it.
  bool Report(const std::string& text);
  void Deregister();

  bool registered() const { return registered_; }
  const std::string& sourceName() const { return source_; }

 private:
  bool sendToSyslog(const std::string& text) const;
  bool appendToFile(const std::string& text) const;

  std::string source_;
  std::string messageFile_;
  std::string syslogSocket_;
  std::string fileSink_;
  int socket_ = -1;
  bool registered_ = false;
};

// A record as the file sink keeps it.
struct EventRecord {
  std::string source;
  uid_t uid = 0;
  std::string text;
  bool operator==(const EventRecord&) const = default;
};

// Reads the records of a file sink back, in order. Each record is a header line
// "<source>\tuid=<n>\tevent=0x20000001\tlength=<bytes>" followed by exactly that many bytes
// of text and a line feed. Throws std::runtime_error "Corrupt event log <path>" on a record
// that does not fit.
std::vector<EventRecord> readEventLogFile(const std::string& path);

// The same for bytes already read; name only goes into the error text.
std::vector<EventRecord> parseEventLog(const std::string& data, const std::string& name);
// One record as the file sink writes it.
std::string formatEventRecord(const EventRecord& record);

}  // namespace lumatix::platform
