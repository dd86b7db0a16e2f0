// The real services' own removals: clearing the saved answers.
#include "app/wiring/KitServices.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Error.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

bool stands(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

TEST(KitServicesTest, ClearingSavedAnswersRemovesTheirFolderAndNothingElse) {
  test::TempDir temp;
  temp.write("caches/http/answer.json", "{}");
  temp.write("caches/terminal/brew-upgrade-0A1B2C3D.command", "kept");
  KitUpdateChecking checking(ModelFolders{temp / "home", temp / "caches"});
  checking.clearSaved();
  EXPECT_FALSE(stands(temp / "caches/http"));
  EXPECT_TRUE(stands(temp / "caches/terminal/brew-upgrade-0A1B2C3D.command"));

  // Folders not named absolutely would be found from the working folder.
  temp.write("cwd/caches/http/answer.json", "{}");
  const fs::path before = fs::current_path();
  fs::current_path(temp / "cwd");
  EXPECT_THROW(KitUpdateChecking(ModelFolders{"", "caches"}).clearSaved(), FileError);
  fs::current_path(before);
  EXPECT_TRUE(stands(temp / "cwd/caches/http/answer.json"));
}

}  // namespace
}  // namespace larkvale
