#pragma once
// One entry of a DataStore's audit history.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

namespace lumatix::datastore {

struct HistoryEntry {
  bool isOldStyle = false;
  std::string title;
  std::string text;  // lines ended by CR LF
  // year - 1900, month 0-11, day of month, hour, minute, second, daylight flag,
  // day of week 0-6, day of year 0-365.
  std::array<std::int32_t, 9> time{};
  std::string user;

  std::tm tm() const;
  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// A new entry stamped with the current local time and the logon name of the user.
HistoryEntry makeHistoryEntry(std::string title, std::string text);

// An entry converted from an old-style comment: title "Old Comment", shown unchanged.
HistoryEntry makeOldComment(std::string text);

// The text form of an entry: for an old-style entry its text alone; otherwise the
// "User : " and "Version : " header, the text, the "Time Stamp : " line and a separator.
std::string historyText(const HistoryEntry& entry);

std::array<std::int32_t, 9> packTime(const std::tm& t);

}  // namespace lumatix::datastore
