#include "platform/AppFolders.h"

#include <gtest/gtest.h>

#include <string_view>

namespace larkvale {
namespace {

TEST(AppFoldersTest, LaysOutEveryFolderOfTheApp) {
  const UserFolders user{"/home/u", "/home/u/.local/share", "/home/u/.cache"};
  const AppFolders release(user);
  EXPECT_EQ(release.state, "/home/u/.local/share/Larkvale");
  EXPECT_EQ(release.caches, "/home/u/.cache/com.tarn4820.Larkvale");
  EXPECT_EQ(release.http, "/home/u/.cache/com.tarn4820.Larkvale/http");
  EXPECT_EQ(release.terminal, "/home/u/.cache/com.tarn4820.Larkvale/terminal");
  EXPECT_EQ(release.catalogue, "/home/u/.cache/com.tarn4820.Larkvale/MoreApps");

  const AppFolders debug(user, "com.tarn4820.Larkvale.debug");
  EXPECT_EQ(debug.state, "/home/u/.local/share/Larkvale Debug");
  EXPECT_EQ(debug.http, "/home/u/.cache/com.tarn4820.Larkvale.debug/http");
  EXPECT_EQ(debug.catalogue, "/home/u/.cache/com.tarn4820.Larkvale.debug/MoreApps");

  // An identifier that can't name one folder never leads elsewhere.
  using namespace std::literals;
  for (std::string_view id : {""sv, "."sv, ".."sv, "../../etc"sv, "a/b"sv, "a\0b"sv})
    EXPECT_EQ(AppFolders(user, id), release) << id;
}

}  // namespace
}  // namespace larkvale
