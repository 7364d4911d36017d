#include "datastore/history_entry.h"

#include <utility>

#include "platform/build_info.h"
#include "platform/clock.h"
#include "platform/identity.h"

namespace lumatix::datastore {

std::array<std::int32_t, 9> packTime(const std::tm& t) {
  return {t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_isdst, t.tm_wday, t.tm_yday};
}

std::tm HistoryEntry::tm() const {
  std::tm t{};
  t.tm_year = time[0];
  t.tm_mon = time[1];
  t.tm_mday = time[2];
  t.tm_hour = time[3];
  t.tm_min = time[4];
  t.tm_sec = time[5];
  t.tm_isdst = time[6];
  t.tm_wday = time[7];
  t.tm_yday = time[8];
  return t;
}

HistoryEntry makeHistoryEntry(std::string title, std::string text) {
  HistoryEntry entry;
  entry.title = std::move(title);
  entry.text = std::move(text);
  entry.time = packTime(platform::localTime());
  entry.user = platform::logonName();
  return entry;
}

HistoryEntry makeOldComment(std::string text) {
  HistoryEntry entry = makeHistoryEntry("Old Comment", std::move(text));
  entry.isOldStyle = true;
  return entry;
}

std::string historyText(const HistoryEntry& entry) {
  if (entry.isOldStyle) return entry.text;
  auto stamp = platform::buildStamp();
  std::string out;
  out.reserve(entry.text.size() + 200);
  out += "User : " + entry.user + "\r\n";
  out += std::string("Version : ") + platform::kProductName + " v." + platform::kVersion + " Build : " + stamp.date +
         " " + stamp.time + "\r\n";
  out += entry.text;
  out += "Time Stamp : " + platform::asctimeText(entry.tm()) + "\r\n";
  out += std::string(52, '-') + "\r\n";
  return out;
}

}  // namespace lumatix::datastore
