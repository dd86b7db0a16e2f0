// The running app against a bare Qt program (Qt Widgets only, one empty main
// window or one tray icon), measured side by side in the same run, offscreen,
// in interleaved rounds; each counter is the median of its rounds:
//   - from process start to the main window's first paint, with a fresh home
//     and with the last report of 300 and of 3,000 apps in the state;
//   - resident memory at idle after a check of 300 apps, answered by a local
//     server;
//   - a start as a login item (the tray only): to the first idle moment, and
//     resident memory two seconds later.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// Starts `program` with its own folders, reads its report lines, waits for it.
Run probe(const char* program, const std::vector<std::string>& arguments,
          const std::filesystem::path& home) {
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
  std::vector<std::string> args = {program};
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

Run bare(const std::vector<std::string>& arguments, const std::filesystem::path& home) {
  return probe(LARKVALE_BARE_PROBE, arguments, home);
}
Run app(const std::vector<std::string>& arguments, const std::filesystem::path& home) {
  return probe(LARKVALE_STARTUP_PROBE, arguments, home);
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Side-by-side samples of one quantity, reported as medians and their ratio.
struct Pair {
  std::vector<double> bare, app;
  void report(benchmark::State& state, const std::string& unit, double scale = 1) const {
    double b = median(bare), a = median(app);
    state.counters["bare_" + unit] = b / scale;
    state.counters["larkvale_" + unit] = a / scale;
    state.counters[unit == "MB" ? "ratio_rss" : "ratio"] = b > 0 ? a / b : 0;
  }
};

// Arg: the number of apps in the last report of the state; 0 is a fresh home.
void BM_StartToFirstPaint(benchmark::State& state) {
  const int apps = static_cast<int>(state.range(0));
  larkvale::test::TempDir seeded;
  if (apps > 0) app({"seed", std::to_string(apps)}, seeded.path());
  Pair shown;
  for (auto _ : state) {
    larkvale::test::TempDir bareHome, freshHome;
    shown.bare.push_back(bare({"window"}, bareHome.path()).millisToShown);
    shown.app.push_back(app({"app"}, apps > 0 ? seeded.path() : freshHome.path()).millisToShown);
  }
  shown.report(state, "ms");
}
BENCHMARK(BM_StartToFirstPaint)
    ->Arg(0)
    ->Arg(300)
    ->Arg(3000)
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

void BM_IdleMemoryAfterCheckOf300Apps(benchmark::State& state) {
  larkvale::test::TempDir bareHome, appHome;
  larkvale::demo::DemoServer server;
  server.start(larkvale::demo::writeDemoHome(appHome.path(), server.url(), 300 - 12));
  const std::string brew = larkvale::demo::demoBrew(appHome.path()).string();
  Pair rss;
  for (auto _ : state) {
    rss.bare.push_back(bare({"window", "--idle"}, bareHome.path()).rssKB);
    rss.app.push_back(app({"app-check", server.url(), brew}, appHome.path()).rssKB);
  }
  rss.report(state, "MB", 1024);
}
BENCHMARK(BM_IdleMemoryAfterCheckOf300Apps)->Iterations(7)->Unit(benchmark::kMillisecond);

void BM_TrayOnlyStart(benchmark::State& state) {
  larkvale::test::TempDir bareHome, appHome;
  Pair ready, rss;
  for (auto _ : state) {
    Run b = bare({"tray", "--idle"}, bareHome.path());
    Run a = app({"tray", "--idle"}, appHome.path());
    ready.bare.push_back(b.millisToShown);
    ready.app.push_back(a.millisToShown);
    rss.bare.push_back(b.rssKB);
    rss.app.push_back(a.rssKB);
  }
  ready.report(state, "ms");
  rss.report(state, "MB", 1024);
}
BENCHMARK(BM_TrayOnlyStart)->Iterations(7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
