#include "platform/FileRemoval.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::error_code kRefused = std::make_error_code(std::errc::invalid_argument);

// Whether something stands at the path, a dangling link included.
bool stands(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// A folder with something in it, beside one that is not its own.
struct Scene {
  TempDir root;
  fs::path own = root.mkdir("own");
  fs::path outside = root.write("outside/canary", "keep");
  fs::path inside = root.write("own/a/inside", "keep");
};

TEST(FileRemovalTest, RefusesWhatIsNotStrictlyInsideAndRemovesNothing) {
  Scene s;
  const struct {
    fs::path folder, path;
  } refused[] = {
      {s.own, ""},
      {s.own, "."},
      {s.own, ".."},
      {s.own, "a"},
      {s.own, "a/inside"},
      {s.own, s.own},
      {s.own, s.own / ""},
      {s.own, s.own / "."},
      {s.own, s.own / "a" / ""},
      {s.own, s.root.path()},
      {s.own, "/"},
      {s.own, s.outside},
      {s.own, s.own / ".." / "outside"},
      {s.own, s.own / "a" / ".." / ".." / "outside"},
      {s.own, s.own / "a" / ".." / "a"},
      // A neighbour whose name begins with the folder's, and a file in it,
      // whose folder's path begins with this folder's letter for letter.
      {s.own, s.root.path() / "own-other"},
      {s.own, s.root.path() / "own-other" / "canary"},
      // The folder must itself say where it is.
      {"", s.own / "a"},
      {".", s.own / "a"},
      {"own", s.own / "a"},
      {"/", s.own / "a"},
      {s.own / "a" / "..", s.own / "a"},
  };
  fs::create_directories(s.root / "own-other");
  s.root.write("own-other/canary", "keep");
  for (const auto& [folder, path] : refused) {
    EXPECT_EQ(FileRemoval::removeInside(folder, path), kRefused) << folder << " " << path;
  }
  EXPECT_TRUE(stands(s.inside));
  EXPECT_TRUE(stands(s.outside));
  EXPECT_TRUE(stands(s.root / "own-other/canary"));
}

TEST(FileRemovalTest, ALinkIsRemovedNeverWhatItLeadsTo) {
  Scene s;
  fs::create_directory_symlink(s.outside.parent_path(), s.own / "toFolder");
  fs::create_symlink(s.outside, s.own / "toFile");
  fs::create_directory_symlink(s.root.path(), s.own / "a/up");
  // Through a link on the way, the path leaves the folder: refused.
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "toFolder/canary"), kRefused);
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "a/up/outside"), kRefused);
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "a/up/own"), kRefused);
  ASSERT_TRUE(stands(s.outside));
  ASSERT_TRUE(stands(s.own));
  // One that leads back into the folder is followed.
  fs::create_directory_symlink(s.own, s.own / "a/back");
  s.root.write("own/file", "x");
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "a/back/file"), std::error_code{});
  EXPECT_FALSE(stands(s.own / "file"));

  Scene t;
  fs::create_directory_symlink(t.outside.parent_path(), t.own / "toFolder");
  fs::create_symlink(t.outside, t.own / "toFile");
  EXPECT_EQ(FileRemoval::removeInside(t.own, t.own / "toFolder"), std::error_code{});
  EXPECT_EQ(FileRemoval::removeInside(t.own, t.own / "toFile"), std::error_code{});
  EXPECT_FALSE(stands(t.own / "toFolder"));
  EXPECT_FALSE(stands(t.own / "toFile"));
  EXPECT_EQ(test::readAll(t.outside), "keep");
}

TEST(FileRemovalTest, RemovesWhatIsInside) {
  Scene s;
  s.root.write("own/a/b/c/deep", "x");
  s.root.write("own/file", "x");
  // Where only an entry is meant, a folder with something in it stays.
  using FileRemoval::Reach;
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "a/b", Reach::entry),
            std::make_error_code(std::errc::directory_not_empty));
  EXPECT_TRUE(stands(s.own / "a/b/c/deep"));
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "file", Reach::entry), std::error_code{});
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "a"), std::error_code{});
  EXPECT_FALSE(stands(s.own / "a"));
  EXPECT_FALSE(stands(s.own / "file"));
  EXPECT_TRUE(fs::is_directory(s.own));
  EXPECT_TRUE(stands(s.outside));

  // Nothing there is nothing to do, even below a missing or plain file.
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "gone"), std::error_code{});
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "gone/deeper"), std::error_code{});
  s.root.write("own/plain", "x");
  EXPECT_EQ(FileRemoval::removeInside(s.own, s.own / "plain/below"), std::error_code{});
  EXPECT_EQ(FileRemoval::removeInside(s.root / "none", s.root / "none/x"), std::error_code{});

  // A folder reached through a link (as ~/.cache may be) is still the folder,
  // and a separator after its name changes nothing.
  s.root.write("own/again", "x");
  fs::create_directory_symlink(s.own, s.root / "link");
  EXPECT_EQ(FileRemoval::removeInside(s.root / "link" / "", s.root / "link/again"),
            std::error_code{});
  EXPECT_FALSE(stands(s.own / "again"));
}

TEST(FileRemovalTest, ATempDirRemovesOnlyItsOwnFolder) {
  TempDir other;
  const fs::path canary = other.write("canary", "keep");
  fs::path made;
  {
    TempDir dir;
    made = dir.path();
    EXPECT_TRUE(made.is_absolute());
    dir.write("sub/f", "x");
    EXPECT_FALSE(dir.remove(""));
    EXPECT_FALSE(dir.remove("sub"));
    EXPECT_FALSE(dir.remove(dir.path()));
    EXPECT_FALSE(dir.remove(canary));
    EXPECT_TRUE(stands(dir / "sub/f"));
    EXPECT_TRUE(dir.remove(dir / "sub"));
    EXPECT_FALSE(stands(dir / "sub"));
    // A folder left without any permission is still cleared at the end.
    dir.write("closed/f", "x");
    ::chmod((dir / "closed").c_str(), 0);
  }
  EXPECT_FALSE(stands(made));

  // Put in the folder's place, a link is not followed, nor another folder
  // under that name emptied.
  fs::path swapped;
  {
    TempDir dir(other.path());
    swapped = dir.path();
    fs::rename(dir.path(), other / "moved");
    fs::create_directory_symlink(other.path(), swapped);
  }
  EXPECT_TRUE(stands(swapped));
  EXPECT_EQ(test::readAll(canary), "keep");
  EXPECT_TRUE(stands(other / "moved"));
  {
    TempDir dir(other.path());
    swapped = dir.path();
    fs::rename(dir.path(), other / "moved-too");
    fs::create_directory(swapped);
    other.write(swapped.filename().string() + "/canary", "keep");
  }
  EXPECT_EQ(test::readAll(swapped / "canary"), "keep");
}

TEST(FileRemovalTest, ATempDirUnderARelativeFolderIsNamedAbsolutely) {
  TempDir base;
  const fs::path before = fs::current_path();
  fs::current_path(base.path());
  fs::path made;
  {
    TempDir dir(fs::path("."));
    made = dir.path();
    fs::current_path(before);
    EXPECT_EQ(made.parent_path(), base.path());
    dir.write("f", "x");
  }
  EXPECT_FALSE(stands(made));
  EXPECT_TRUE(fs::is_directory(base.path()));
}

}  // namespace
}  // namespace larkvale
