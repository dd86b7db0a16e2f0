#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace larkvale {
namespace {

// Sets (or with nullptr unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserFoldersTest, FollowsTheXdgVariablesOnlyWhenAbsolute) {
  ScopedEnv home("HOME", "/home/ada");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data");
    ScopedEnv cache("XDG_CACHE_HOME", "/cache");
    EXPECT_EQ(UserFolders::current(), (UserFolders{"/home/ada", "/data", "/cache"}));
  }
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/data");
    ScopedEnv cache("XDG_CACHE_HOME", "");
    EXPECT_EQ(UserFolders::current(),
              (UserFolders{"/home/ada", "/home/ada/.local/share", "/home/ada/.cache"}));
  }
  {
    // A relative HOME is no home; the password database answers instead.
    ScopedEnv relative("HOME", "not/absolute");
    EXPECT_TRUE(UserFolders::current().home.is_absolute());
  }
}

}  // namespace
}  // namespace larkvale
