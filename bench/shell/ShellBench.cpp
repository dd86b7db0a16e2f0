// The running app against a bare Qt program that shows one empty window, both
// measured in the same run, offscreen:
//   - from process start to the main window's first paint (target: at most
//     twice the bare program's time);
//   - resident memory at idle after a check of 300 apps, answered by a local
//     server (target: at most 1.5 times the bare program's).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tools/demo/DemoHome.h"
#include "tools/demo/DemoServer.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
  double millisToShown = 0;
  long rssKB = -1;
};

// Starts the probe with its own folders, reads its report lines, waits for it.
Run probe(const std::vector<std::string>& arguments, const std::filesystem::path& home) {
  std::vector<std::string> env = {
      "QT_QPA_PLATFORM=offscreen",
      "HOME=" + home.string(),
      "XDG_RUNTIME_DIR=" + (home / "run").string(),
      "XDG_CONFIG_HOME=" + (home / "config").string(),
      "XDG_DATA_HOME=" + (home / "data").string(),
      "XDG_CACHE_HOME=" + (home / "cache").string(),
      "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home / "no-bus").string(),
      "PATH=/usr/bin:/bin"};
  std::filesystem::create_directories(home / "run");
  std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = {LARKVALE_STARTUP_PROBE};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid = 0;
  auto start = Clock::now();
  int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  Run run;
  if (failed == 0) {
    FILE* lines = fdopen(out[0], "r");
    char buffer[256];
    while (fgets(buffer, sizeof buffer, lines)) {
      std::string line(buffer);
      if (line.rfind("shown", 0) == 0)
        run.millisToShown = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (line.rfind("rss ", 0) == 0) run.rssKB = std::stol(line.substr(4));
    }
    fclose(lines);
    int status = 0;
    waitpid(pid, &status, 0);
  } else {
    close(out[0]);
  }
  return run;
}

void BM_StartToMainWindowShown(benchmark::State& state) {
  larkvale::test::TempDir bareHome, appHome;
  double bare = 0, app = 0;
  int rounds = 0;
  for (auto _ : state) {
    bare += probe({"bare"}, bareHome.path()).millisToShown;
    app += probe({"app"}, appHome.path()).millisToShown;
    ++rounds;
  }
  state.counters["bare_ms"] = bare / rounds;
  state.counters["larkvale_ms"] = app / rounds;
  state.counters["ratio"] = app / bare;
}
BENCHMARK(BM_StartToMainWindowShown)->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_IdleMemoryAfterCheckOf300Apps(benchmark::State& state) {
  larkvale::test::TempDir bareHome, appHome;
  larkvale::demo::DemoServer server;
  server.start(larkvale::demo::writeDemoHome(appHome.path(), server.url(), 300 - 12));
  long bare = 0, app = 0;
  for (auto _ : state) {
    bare = probe({"bare", "--idle"}, bareHome.path()).rssKB;
    app = probe({"app-check", server.url(), larkvale::demo::demoBrew(appHome.path()).string()},
                appHome.path())
              .rssKB;
  }
  state.counters["bare_MB"] = bare / 1024.0;
  state.counters["larkvale_MB"] = app / 1024.0;
  state.counters["ratio"] = static_cast<double>(app) / bare;
}
BENCHMARK(BM_IdleMemoryAfterCheckOf300Apps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
