#include "platform/group_check.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/trusted_file.h"

namespace lumatix::platform {

namespace {
constexpr std::size_t kMaxAclBytes = 1 << 20;
constexpr std::size_t kMaxAclLine = 254;

std::string afterLastBackslash(const std::string& member) {
  auto slash = member.rfind('\\');
  return slash == std::string::npos ? member : member.substr(slash + 1);
}

bool memberMatches(const std::string& member, const std::string& lowerName) {
  return toLower(afterLastBackslash(member)) == lowerName;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}
}  // namespace

std::string toLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool aclFileGrants(const std::string& path, const std::string& logonName, uid_t trustedOwner, std::string& warning) {
  TrustedRead file = readTrustedFile(path, kMaxAclBytes, trustedOwner);
  warning = file.warning;
  if (!file.text) return false;
  const std::string lowerName = toLower(logonName);
  std::istringstream in(*file.text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxAclLine) continue;
    if (!line.empty() && toLower(line) == lowerName) return true;
  }
  return false;
}

bool localGroupHasMember(const std::string& groupFile, const std::string& passwdFile, const std::string& group,
                         const std::string& logonName) {
  const std::string lowerName = toLower(logonName);
  std::ifstream groups(groupFile);
  std::string line;
  std::string gid;
  while (std::getline(groups, line)) {
    auto fields = split(line, ':');
    if (fields.size() < 4 || fields[0] != group) continue;
    gid = fields[2];
    for (const auto& member : split(fields[3], ','))
      if (!member.empty() && memberMatches(member, lowerName)) return true;
    break;
  }
  if (gid.empty()) return false;
  // Users whose primary group it is are not listed as members in /etc/group.
  std::ifstream users(passwdFile);
  while (std::getline(users, line)) {
    auto fields = split(line, ':');
    if (fields.size() >= 4 && fields[3] == gid && memberMatches(fields[0], lowerName)) return true;
  }
  return false;
}

bool nssGroupHasMember(const std::string& group, const std::string& logonName) {
  const std::string lowerName = toLower(logonName);
  long hint = ::sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
  struct group entry {};
  struct group* found = nullptr;
  int rc;
  while ((rc = ::getgrnam_r(group.c_str(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
         buffer.size() < (1u << 24))
    buffer.resize(buffer.size() * 2);
  if (rc != 0 || !found) return false;
  const gid_t wanted = found->gr_gid;
  for (char** member = found->gr_mem; member && *member; ++member)
    if (memberMatches(*member, lowerName)) return true;

  // The groups the service lists for the account, primary group included.
  std::vector<char> pwBuffer(16384);
  struct passwd pw {};
  struct passwd* account = nullptr;
  if (::getpwnam_r(logonName.c_str(), &pw, pwBuffer.data(), pwBuffer.size(), &account) != 0 || !account)
    return false;
  if (account->pw_gid == wanted) return true;
  int count = 64;
  std::vector<gid_t> gids(static_cast<std::size_t>(count));
  while (::getgrouplist(account->pw_name, account->pw_gid, gids.data(), &count) < 0) {
    if (count <= static_cast<int>(gids.size()) || count > 65536) return false;
    gids.resize(static_cast<std::size_t>(count));
  }
  gids.resize(static_cast<std::size_t>(count));
  return std::find(gids.begin(), gids.end(), wanted) != gids.end();
}

GroupCheckResult isUserInGroup(const std::string& logonName, const std::string& group, bool localOnly,
                               const GroupCheckSources& sources) {
  GroupCheckResult result;
  if (logonName.empty()) return result;
  if (aclFileGrants(sources.aclFile, logonName, sources.trustedOwner, result.warning)) {
    result.member = true;
    return result;
  }
  result.member = localGroupHasMember(sources.localGroupFile, sources.localPasswdFile, group, logonName);
  if (result.member || localOnly) return result;
  result.member = nssGroupHasMember(group, logonName);
  return result;
}

}  // namespace lumatix::platform
