#include "kit/sources/SystemBrew.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "kit/sources/BrewError.h"
#include "kit/sources/FetchError.h"
#include "kit/sources/Homebrew.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::readAll;
using test::TempDir;

// A stand-in for the tool: answers both argument lists from files beside it,
// logs its arguments, environment and standard input, and then does whatever
// the test adds at the end.
std::string writeBrew(const TempDir& dir, const std::string& tail = "exit 0\n") {
  dir.write(
      "bin/info.json",
      R"({"casks": [{"token": "firefox", "version": "125.0", "artifacts": [{"app": ["Firefox.app"]}]}]})");
  dir.write(
      "bin/outdated.json",
      R"({"casks": [{"name": "firefox", "installed_versions": ["124.0"], "current_version": "125.0"}]})");
  const std::string script =
      "#!/bin/sh\nhere=$(dirname \"$0\")\n"
      "printf '%s\\n' \"$@\" > \"$here/args.log\"\n"
      "env > \"$here/env.log\"\n"
      "readlink /proc/self/fd/0 > \"$here/stdin.log\"\n"
      "case \"$*\" in\n"
      "  'info --cask --installed --json=v2') cat \"$here/info.json\" ;;\n"
      "  'outdated --cask --greedy --json=v2') cat \"$here/outdated.json\" ;;\n"
      "esac\n" +
      tail;
  auto path = dir.write("bin/brew", script);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path.string();
}

BrewError brewErrorOf(const SystemBrew& brew, const std::vector<std::string>& arguments) {
  try {
    brew.run(arguments);
  } catch (const BrewError& e) {
    return e;
  }
  ADD_FAILURE() << "no BrewError";
  return BrewError::notInstalled();
}

TEST(SystemBrewTest, FindsTheFirstExecutableCandidate) {
  TempDir dir;
  auto plain = dir.write("opt/brew", "#!/bin/sh\n");
  auto folder = dir.mkdir("folder/brew");
  auto usable = dir.write("usr/brew", "#!/bin/sh\n");
  std::filesystem::permissions(usable, std::filesystem::perms::owner_all);
  std::filesystem::create_symlink(usable, dir / "link");
  EXPECT_EQ(SystemBrew::findBrew({plain.string(), folder.string(), usable.string()}),
            usable.string());
  EXPECT_EQ(SystemBrew::findBrew({(dir / "missing").string(), (dir / "link").string()}),
            (dir / "link").string());
  EXPECT_EQ(SystemBrew::findBrew({plain.string(), folder.string()}), std::nullopt);
}

TEST(SystemBrewTest, RunsBothListsWithTheFixedEnvironment) {
  TempDir dir;
  ::setenv("LARKVALE_BREW_TEST", "passed through", 1);
  ::setenv("HOMEBREW_NO_ANALYTICS", "0", 1);
  SystemBrew brew(writeBrew(dir));
  const auto casks = Homebrew::parseInfo(brew.run(SystemBrew::infoArguments()), "/h");
  ASSERT_EQ(casks.size(), 1u);
  EXPECT_EQ(casks[0].appPaths, std::vector<std::string>{"Firefox.app"});
  EXPECT_EQ(readAll(dir / "bin/args.log"), "info\n--cask\n--installed\n--json=v2\n");
  EXPECT_EQ(readAll(dir / "bin/stdin.log"), "/dev/null\n");

  const auto rows = Homebrew::parseOutdated(brew.run(SystemBrew::outdatedArguments()));
  EXPECT_EQ(rows.at("firefox").current, "125.0");
  EXPECT_EQ(readAll(dir / "bin/args.log"), "outdated\n--cask\n--greedy\n--json=v2\n");
  const std::string env = "\n" + readAll(dir / "bin/env.log");
  for (const char* line :
       {"\nHOMEBREW_NO_AUTO_UPDATE=1\n", "\nHOMEBREW_NO_ANALYTICS=1\n",
        "\nHOMEBREW_NO_ENV_HINTS=1\n", "\nHOMEBREW_NO_INSTALL_CLEANUP=1\n",
        "\nPATH=/opt/homebrew/bin:/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin\n",
        "\nLARKVALE_BREW_TEST=passed through\n"})
    EXPECT_NE(env.find(line), std::string::npos) << line;
  EXPECT_EQ(env.find("HOMEBREW_NO_ANALYTICS=0"), std::string::npos);
}

TEST(SystemBrewTest, RefusesOtherListsBeforeStartingAnything) {
  TempDir dir;
  SystemBrew brew(writeBrew(dir));
  EXPECT_EQ(brewErrorOf(brew, {"upgrade", "--cask", "x; rm -rf ~"}),
            BrewError::refused("upgrade --cask x; rm -rf ~"));
  EXPECT_FALSE(std::filesystem::exists(dir / "bin/args.log"));
  // Without a path nothing else is looked at.
  EXPECT_EQ(brewErrorOf(SystemBrew(std::nullopt), {"upgrade"}), BrewError::notInstalled());
}

TEST(SystemBrewTest, FailsWithTheFirst400BytesOfStandardError) {
  TempDir dir;
  // Tools that answer nothing on standard output.
  auto brewWith = [&](const std::string& tail) {
    auto path = writeBrew(dir);
    const std::string script = "#!/bin/sh\n" + tail;
    dir.write("bin/brew", script);
    return SystemBrew(path);
  };
  const std::pair<const char*, BrewError> cases[] = {
      {"head -c 1000 /dev/zero | tr '\\0' x >&2; exit 1\n",
       BrewError::failed(1, std::string(400, 'x'))},
      // Byte 400 falls inside a two-byte character: the text is dropped.
      {"head -c 399 /dev/zero | tr '\\0' x >&2; printf '\\303\\251 more' >&2; exit 1\n",
       BrewError::failed(1, "")},
  };
  for (const auto& [tail, error] : cases)
    EXPECT_EQ(brewErrorOf(brewWith(tail), SystemBrew::infoArguments()), error) << tail;
  EXPECT_EQ(brewWith("exit 0\n").run(SystemBrew::infoArguments()), "");
}

// Output counts even with a failing status.
TEST(SystemBrewTest, DrainsAToolThatFloodsBothStreams) {
  TempDir dir;
  SystemBrew brew(writeBrew(dir,
                            "head -c 3000000 /dev/zero | tr '\\0' e >&2\n"
                            "head -c 3000000 /dev/zero | tr '\\0' ' '\nexit 1\n"));
  const std::string out = brew.run(SystemBrew::infoArguments());
  EXPECT_EQ(out.size(), readAll(dir / "bin/info.json").size() + 3000000);
  EXPECT_EQ(Homebrew::parseInfo(out, "/h").size(), 1u);
}

TEST(SystemBrewTest, StopsAToolThatHangsAndReportsItFailed) {
  TempDir dir;
  SystemBrew brew(writeBrew(dir, "sleep 60\n"), std::chrono::milliseconds(300));
  EXPECT_EQ(brewErrorOf(brew, SystemBrew::infoArguments()),
            BrewError::failed(-1, "brew didn't finish within 300 milliseconds"));
}

TEST(SystemBrewTest, ErrorsReadInTheirPlainTextForm) {
  EXPECT_STREQ(BrewError::refused("info --cask --installed").what(),
               "refused(\"info --cask --installed\")");
  EXPECT_STREQ(BrewError::failed(1, "Error: \"x\" \\ y\n\tz\x01").what(),
               "failed(1, \"Error: \\\"x\\\" \\\\ y\\n\\tz\\u{1}\")");
  // Nothing the tool writes hides, turns or breaks the text that quotes it.
  EXPECT_STREQ(BrewError::failed(1, "a\u202Eb\u2028c\u0085d\xFF\u00e9").what(),
               "failed(1, \"a\\u{202e}b\\u{2028}c\\u{85}d\uFFFD\u00e9\")");
  EXPECT_STREQ(FetchError::network("Could not resolve host: ev\u202Eil\r\n- [x]").what(),
               "Could not resolve host: evil  - [x]");
  try {
    Homebrew::parseInfo("{\"casks\": [\u202E\r\n- [x]", "/h");
    ADD_FAILURE() << "read a broken answer";
  } catch (const BrewAnswerError& e) {
    const std::string what = e.what();
    EXPECT_EQ(what.find_first_of("\r\n"), std::string::npos) << what;
    EXPECT_EQ(what.find("\u202E"), std::string::npos) << what;
  }
}

}  // namespace
}  // namespace larkvale
