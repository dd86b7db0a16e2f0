#include "platform/FileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/Error.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(FileSystemTest, ReadFileKeepsToRegularFilesUnderTheCap) {
  TempDir dir;
  auto file = dir.write("f.bin", std::string(1000, 'x'));
  EXPECT_EQ(FileSystem::readFile(file, 1000)->size(), 1000u);
  EXPECT_FALSE(FileSystem::readFile(file, 999));
  EXPECT_FALSE(FileSystem::readFile(dir.mkdir("folder")));

  // A FIFO with no writer would block a plain open() forever.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(FileSystem::readFile(dir / "fifo"));
  fs::create_symlink(file, dir / "link");
  EXPECT_EQ(FileSystem::readFile(dir / "link")->size(), 1000u);

  // Files under /proc state a size of 0 and still have content.
  auto status = FileSystem::readFile("/proc/self/status");
  ASSERT_TRUE(status);
  EXPECT_NE(status->find("Name:"), std::string::npos);
  EXPECT_FALSE(FileSystem::readFile("/proc/self/status", 8));
}

TEST(FileSystemTest, AnswersRelativeToAnOpenFolder) {
  TempDir dir;
  dir.write("B.app/Contents/Info.plist", "plist");
  dir.write("B.app/Contents/Resources/bad.yml", "\xFF");
  dir.write("B.app/Contents/Resources/big", std::string(100, 'x'));
  EXPECT_FALSE(FileSystem::OpenFolder::open(dir / "B.app/Contents/Info.plist"));
  auto folder = FileSystem::OpenFolder::open(dir / "B.app");
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->exists("Contents/Info.plist"));
  EXPECT_FALSE(folder->exists("Contents/_MASReceipt/receipt"));
  EXPECT_EQ(folder->readFile("Contents/Info.plist"), "plist");
  EXPECT_FALSE(folder->readFile("Contents"));
  EXPECT_FALSE(folder->readFile("Contents/Resources/big", 99));
  EXPECT_FALSE(folder->readText("Contents/Resources/bad.yml"));
  ASSERT_EQ(::mkfifo((dir / "B.app/Contents/fifo").c_str(), 0600), 0);
  EXPECT_TRUE(folder->exists("Contents/fifo"));
  EXPECT_FALSE(folder->readFile("Contents/fifo"));
}

TEST(FileSystemTest, ValidatesUtf8AndReadTextRefusesTheInvalid) {
  // Overlong "/", a surrogate, beyond U+10FFFF, cut short.
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x80", "\x80"})
    EXPECT_FALSE(FileSystem::isValidUtf8(bad)) << bad;
  EXPECT_TRUE(FileSystem::isValidUtf8("\xF0\x9F\x98\x80"));
  TempDir dir;
  EXPECT_EQ(FileSystem::readText(dir.write("ok", "caf\xC3\xA9")), "caf\xC3\xA9");
  EXPECT_FALSE(FileSystem::readText(dir.write("bad", "caf\xE9")));
}

TEST(FileSystemTest, WritesAtomically) {
  TempDir dir;
  auto target = dir / "state.json";
  FileSystem::writeAtomically(target, "first");
  FileSystem::writeAtomically(target, "second", 0600);
  EXPECT_EQ(test::readAll(target), "second");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(*FileSystem::listNames(dir.path()), std::vector<std::string>{"state.json"});

  // A folder in the file's place: the write fails, the folder and its
  // content stay, and no temporary file is left behind.
  dir.write("taken/inside", "keep");
  EXPECT_THAT([&] { FileSystem::writeAtomically(dir / "taken", "new"); },
              testing::ThrowsMessage<FileError>(
                  testing::StartsWith("Couldn't write " + (dir / "taken").string() + ": ")));
  EXPECT_EQ(test::readAll(dir / "taken/inside"), "keep");
  auto names = *FileSystem::listNames(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"state.json", "taken"}));

  EXPECT_THROW(FileSystem::writeAtomically(dir / "no/such/folder/f", "x"), FileError);
}

mode_t modeOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(FileSystemTest, WritesWhatTheUmaskLeavesOfTheMode) {
  TempDir dir;
  const mode_t before = ::umask(077);
  FileSystem::writeAtomically(dir / "state.json", "{}");
  FileSystem::writeAtomicallyUnflushed(dir / "answer.body", "x");
  FileSystem::writeAtomically(dir / "run.command", "#!/bin/sh", 0700);
  ::umask(027);
  FileSystem::writeAtomically(dir / "state.json", "{}");  // a new file takes the new umask
  ::umask(before);
  EXPECT_EQ(modeOf(dir / "answer.body"), 0600u);
  EXPECT_EQ(modeOf(dir / "run.command"), 0700u);
  EXPECT_EQ(modeOf(dir / "state.json"), 0640u);
}

TEST(FileSystemTest, ListsEntriesWithTheirOwnDirectoryFlag) {
  TempDir dir;
  dir.mkdir("root/Folder");
  dir.write("root/.hidden", "");
  dir.write("root/file", "");
  fs::create_directory_symlink(dir / "root/Folder", dir / "root/LinkToFolder");
  fs::create_symlink(dir / "root/nowhere", dir / "root/Dangling");

  auto entries = FileSystem::listEntries(dir / "root");
  ASSERT_TRUE(entries);
  std::map<std::string, std::optional<bool>> flags;
  for (const auto& e : *entries) {
    EXPECT_EQ(e.path, dir / "root" / e.name);
    flags[e.name] = e.isDirectory;
  }
  const std::map<std::string, std::optional<bool>> expected{{".hidden", false},
                                                            {"Dangling", false},
                                                            {"Folder", true},
                                                            {"LinkToFolder", false},
                                                            {"file", false}};
  EXPECT_EQ(flags, expected);
  EXPECT_FALSE(FileSystem::listEntries(dir / "root/file"));
  EXPECT_FALSE(FileSystem::listNames(dir / "missing"));
}

TEST(FileSystemTest, JoinsOnlyInsideTheBase) {
  EXPECT_EQ(FileSystem::joinInside("/base", "Library/Preferences/x.plist"),
            fs::path("/base/Library/Preferences/x.plist"));
  EXPECT_EQ(FileSystem::joinInside("/base", "..a/b.."), fs::path("/base/..a/b.."));
  using namespace std::literals;
  // The last: the system would stop reading at the NUL.
  for (std::string_view rel :
       {""sv, "/etc/passwd"sv, "a/../../x"sv, "a/./b"sv, "a//b"sv, "a/"sv, "..\0x"sv}) {
    EXPECT_EQ(FileSystem::joinInside("/base", rel), std::nullopt) << rel;
  }
}

}  // namespace
}  // namespace larkvale
