#pragma once
// Who belongs to the group of users allowed to run the program: the access-control list
// file, the local group (/etc/group and the primary groups of /etc/passwd), and, unless
// only local accounts count, every group the name service knows (LDAP, SSSD, ...).

#include <string>
#include <sys/types.h>

namespace lumatix::platform {

struct GroupCheckSources {
  std::string aclFile = "/etc/lumatix/ACL.txt";
  std::string localGroupFile = "/etc/group";
  std::string localPasswdFile = "/etc/passwd";
  uid_t trustedOwner = 0;  // the ACL file counts only when this user owns it
};

struct GroupCheckResult {
  bool member = false;
  std::string warning;  // set when the ACL file exists but was not trusted
};

// A line of the ACL file equal to the name, letter case aside (no trimming; a line ending
// in CR LF counts without its CR; lines over 254 characters never match). The file must be
// owned by sources.trustedOwner and writable by nobody else.
bool aclFileGrants(const std::string& path, const std::string& logonName, uid_t trustedOwner, std::string& warning);

// Members of the group in the local files, compared in lower case with the part after the
// last backslash of each member name.
bool localGroupHasMember(const std::string& groupFile, const std::string& passwdFile, const std::string& group,
                         const std::string& logonName);

// The group through the name service: its member list and the groups the service lists for
// the user (getgrouplist, which includes the primary group).
bool nssGroupHasMember(const std::string& group, const std::string& logonName);

// ACL file, then the local group; with localOnly that is the answer, else the name service too.
GroupCheckResult isUserInGroup(const std::string& logonName, const std::string& group, bool localOnly,
                               const GroupCheckSources& sources = {});

std::string toLower(std::string text);

}  // namespace lumatix::platform
