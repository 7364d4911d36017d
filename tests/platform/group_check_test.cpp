#include "platform/group_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/identity.h"
#include "platform/pam_authenticator.h"
#include "support/temp_dir.h"
#include "support/wrapped.h"

namespace lumatix::platform {
namespace {

class AclFileTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string path = dir.file("ACL.txt");
  std::string warning;
  void write(const std::string& text, mode_t mode = 0644) {
    testing::writeFile(path, text);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
  }
  bool grants(const std::string& user) { return aclFileGrants(path, user, ::geteuid(), warning); }
};

TEST_F(AclFileTest, LinesMatchInAnyLetterCaseWithoutTrimming) {
  write("MJones\r\n jsmith\nA.Lee \n" + std::string(255, 'x') + "\nlast");
  struct Row {
    std::string user;
    bool granted;
  };
  const Row rows[] = {{"mjones", true}, {"MJONES", true}, {"jsmith", false},          {"a.lee", false},
                      {"last", true},   {"", false},      {std::string(255, 'x'), false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.user);
    EXPECT_EQ(grants(row.user), row.granted);
  }
  EXPECT_EQ(warning, "");
}

TEST_F(AclFileTest, UserWritableFileGrantsNothing) {
  write("mjones\n", 0666);
  EXPECT_FALSE(grants("mjones"));
  EXPECT_EQ(warning, path + " ignored: writable by other users");
}

TEST_F(AclFileTest, MissingFileGrantsNothingQuietly) {
  EXPECT_FALSE(grants("mjones"));
  EXPECT_EQ(warning, "");
}

TEST(LocalGroup, MembersAndPrimaryGroup) {
  testing::TempDir dir;
  testing::writeFile(dir.file("group"), "root:x:0:\nlumatix-users:x:2000:LAB\\JSmith,mjones\nother:x:3000:kim\n");
  testing::writeFile(dir.file("passwd"), "primary:x:1005:2000::/home/primary:/bin/sh\nkim:x:1006:3000::/:/bin/sh\n");
  struct Row {
    const char* user;
    bool member;
  };
  const Row rows[] = {{"jsmith", true}, {"MJones", true}, {"primary", true}, {"kim", false}, {"lab", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.user);
    EXPECT_EQ(localGroupHasMember(dir.file("group"), dir.file("passwd"), "lumatix-users", row.user), row.member);
  }
  EXPECT_FALSE(localGroupHasMember(dir.file("group"), dir.file("passwd"), "no-such-group", "jsmith"));
  EXPECT_FALSE(localGroupHasMember(dir.file("missing"), dir.file("passwd"), "lumatix-users", "jsmith"));
}

// The accounts and groups come from tests/support/run_wrapped.sh.
class WrappedGroupCheck : public ::testing::Test {
 protected:
  void SetUp() override { LUMATIX_REQUIRE_WRAPPERS(); }
  GroupCheckSources sources() {
    GroupCheckSources s;
    s.aclFile = dir.file("ACL.txt");
    s.localGroupFile = testing::wrapDir() + "/local-group";
    s.localPasswdFile = testing::wrapDir() + "/passwd";
    struct stat st {};
    ::stat(dir.path().c_str(), &st);
    s.trustedOwner = st.st_uid;
    return s;
  }
  testing::TempDir dir;
};

TEST_F(WrappedGroupCheck, Verdicts) {
  testing::writeFile(dir.file("ACL.txt"), "ACLONLY\n");
  ::chmod(dir.file("ACL.txt").c_str(), 0644);
  struct Row {
    const char* name;
    std::string user;
    bool localOnly;
    bool member;
  };
  const Row rows[] = {
      {"local member", "jsmith", true, true},
      {"member through the name service", "dsmith", false, true},
      {"domain-only member in local-only mode", "dsmith", true, false},
      {"primary group through the name service", "primary", false, true},
      {"only in the ACL file", "aclonly", true, true},
      {"nowhere", "mjones", false, false},
      {"unknown account", "ghost", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(isUserInGroup(row.user, "lumatix-users", row.localOnly, sources()).member, row.member);
  }
}

TEST_F(WrappedGroupCheck, LogonNameComesFromTheEffectiveUser) {
  ASSERT_EQ(::seteuid(1003), 0);
  std::string name = logonName();
  ASSERT_EQ(::seteuid(0), 0);
  EXPECT_EQ(name, "dsmith");
}

TEST_F(WrappedGroupCheck, PamAcceptsOnlyTheRightPassword) {
  PamAuthenticator pam;
  struct Row {
    const char* user;
    const char* password;
    bool ok;
  };
  const Row rows[] = {{"jsmith", "Secret1", true}, {"jsmith", "secret1", false}, {"jsmith", "", false},
                      {"mjones", "Secret1", false}, {"", "Secret1", false},     {"aclonly", "pw4", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.user) + "/" + row.password);
    EXPECT_EQ(pam.authenticate(row.user, row.password), row.ok);
  }
}

TEST_F(WrappedGroupCheck, UnknownPamServiceRefuses) {
  PamAuthenticator pam("no-such-service");
  EXPECT_FALSE(pam.authenticate("jsmith", "Secret1"));
}

}  // namespace
}  // namespace lumatix::platform
