#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace larkvale {
namespace {

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserFoldersTest, LaysOutFoldersUnderAHome) {
  auto folders = UserFolders::underHome("/home/ada");
  EXPECT_EQ(folders.home, "/home/ada");
  EXPECT_EQ(folders.applicationSupport, "/home/ada/.local/share");
  EXPECT_EQ(folders.caches, "/home/ada/.cache");
}

TEST(UserFoldersTest, FollowsTheXdgVariablesWhenAbsolute) {
  ScopedEnv home("HOME", "/home/ada");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data");
    ScopedEnv cache("XDG_CACHE_HOME", "/cache");
    EXPECT_EQ(UserFolders::current(), (UserFolders{"/home/ada", "/data", "/cache"}));
  }
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/data");
    ScopedEnv cache("XDG_CACHE_HOME", "");
    EXPECT_EQ(UserFolders::current(), UserFolders::underHome("/home/ada"));
  }
  {
    // A relative HOME is no home; the password database answers instead.
    ScopedEnv relative("HOME", "not/absolute");
    EXPECT_TRUE(UserFolders::current().home.is_absolute());
  }
}

}  // namespace
}  // namespace larkvale
