// The running app against a bare Qt program (Qt Widgets and libcurl only,
// one main window with a line of text, or one tray icon), measured side by
// side in the same run, offscreen, in interleaved rounds:
//   - from process start to the main window's first paint, with a fresh home
//     and with the last report of 300 and of 3,000 apps in the state;
//   - resident memory at idle after a check of 300 apps answered by a local
//     server, with the window (0) and as a login item, the tray only (1); the
//     floor fetches the same answers over libcurl before it idles;
//   - a start as a login item (the tray only): to the first idle moment.
// Each counter is the median of its rounds, and each ratio the median of the
// rounds' ratios.
// To set another build beside this one in the same rounds, name its probes in
// LARKVALE_OTHER_BARE_PROBE and LARKVALE_OTHER_STARTUP_PROBE: the counters
// `ratio_other_floor` (this app over the other floor), `ratio_other_app` (the
// other app over this floor) and, with both, `ratio_other_both` join the
// rest. QT_QPA_PLATFORM, when set, is handed to the probes (with DISPLAY)
// instead of offscreen.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/shell/ProbeHome.h"
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
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  std::vector<std::string> env =
      probe::environment(home, platform ? platform : "offscreen", display ? display : "");
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

const char* other(const char* variable) {
  const char* path = std::getenv(variable);
  return path && *path ? path : nullptr;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One quantity measured on the floor, the app and (when named) the other
// build's floor and app, side by side in each round.
struct Sides {
  const char* otherBare = other("LARKVALE_OTHER_BARE_PROBE");
  const char* otherApp = other("LARKVALE_OTHER_STARTUP_PROBE");
  std::vector<double> bare, app, otherBareValues, otherAppValues;

  // Runs one round: each side once, with its arguments and home.
  using Home = std::function<std::filesystem::path()>;
  void round(const std::vector<std::string>& bareArguments, const Home& bareHome,
             const std::vector<std::string>& appArguments, const Home& appHome,
             double (*value)(const Run&)) {
    bare.push_back(value(probe(LARKVALE_BARE_PROBE, bareArguments, bareHome())));
    app.push_back(value(probe(LARKVALE_STARTUP_PROBE, appArguments, appHome())));
    if (otherBare) otherBareValues.push_back(value(probe(otherBare, bareArguments, bareHome())));
    if (otherApp) otherAppValues.push_back(value(probe(otherApp, appArguments, appHome())));
  }

  static double ratio(const std::vector<double>& over, const std::vector<double>& under) {
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(over.size(), under.size()); ++i)
      if (under[i] > 0) ratios.push_back(over[i] / under[i]);
    return median(ratios);
  }

  void report(benchmark::State& state, const std::string& unit, double scale = 1) const {
    const std::string suffix = unit == "MB" ? "_rss" : "";
    state.counters["bare_" + unit] = median(bare) / scale;
    state.counters["larkvale_" + unit] = median(app) / scale;
    state.counters["ratio" + suffix] = ratio(app, bare);
    if (otherBare) {
      state.counters["other_bare_" + unit] = median(otherBareValues) / scale;
      state.counters["ratio_other_floor" + suffix] = ratio(app, otherBareValues);
    }
    if (otherApp) {
      state.counters["other_larkvale_" + unit] = median(otherAppValues) / scale;
      state.counters["ratio_other_app" + suffix] = ratio(otherAppValues, bare);
    }
    if (otherBare && otherApp)
      state.counters["ratio_other_both" + suffix] = ratio(otherAppValues, otherBareValues);
  }
};

double millisToShown(const Run& run) {
  return run.millisToShown;
}
double rssKB(const Run& run) {
  return static_cast<double>(run.rssKB);
}

// New empty homes, kept until the benchmark ends.
struct FreshHomes {
  std::vector<std::unique_ptr<larkvale::test::TempDir>> made;
  std::filesystem::path operator()() {
    made.push_back(std::make_unique<larkvale::test::TempDir>());
    return made.back()->path();
  }
};

// Arg: the number of apps in the last report of the state; 0 is a fresh home.
void BM_StartToFirstPaint(benchmark::State& state) {
  const int apps = static_cast<int>(state.range(0));
  larkvale::test::TempDir seeded;
  if (apps > 0) probe(LARKVALE_STARTUP_PROBE, {"seed", std::to_string(apps)}, seeded.path());
  FreshHomes fresh;
  auto appHome = [&] { return apps > 0 ? seeded.path() : fresh(); };
  Sides shown;
  for (auto _ : state) shown.round({"window"}, std::ref(fresh), {"app"}, appHome, millisToShown);
  shown.report(state, "ms");
}
BENCHMARK(BM_StartToFirstPaint)
    ->Arg(0)
    ->Arg(300)
    ->Arg(3000)
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

// Arg: 0 with the window, 1 as a login item (the tray only).
void BM_IdleMemoryAfterCheckOf300Apps(benchmark::State& state) {
  const bool trayOnly = state.range(0) == 1;
  larkvale::test::TempDir bareHome, appHome;
  larkvale::demo::DemoServer server;
  const larkvale::demo::DemoAnswers answers =
      larkvale::demo::writeDemoHome(appHome.path(), server.url(), 300 - 12);
  // What the check asks the server for, as the floor's list to fetch.
  const std::filesystem::path urls = bareHome.path() / "urls.txt";
  {
    std::ofstream list(urls);
    for (const auto* table : {&answers.feeds, &answers.releases})
      for (const auto& [path, body] : *table) list << server.url() << path << '\n';
    for (const auto& [id, body] : answers.lookups)
      list << server.url() << "/lookup?bundleId=" << id << '\n';
    list << server.url() << "/larkvale/appcast.xml\n";
  }
  server.start(answers);
  const std::string brew = larkvale::demo::demoBrew(appHome.path()).string();
  Sides rss;
  for (auto _ : state) {
    rss.round(
        {trayOnly ? "tray" : "window", "--idle", "--fetch", urls.string()},
        [&] { return bareHome.path(); },
        {trayOnly ? "tray-check" : "app-check", server.url(), brew}, [&] { return appHome.path(); },
        rssKB);
  }
  rss.report(state, "MB", 1024);
}
BENCHMARK(BM_IdleMemoryAfterCheckOf300Apps)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

void BM_TrayOnlyStart(benchmark::State& state) {
  larkvale::test::TempDir bareHome, appHome;
  Sides ready;
  for (auto _ : state) {
    ready.round(
        {"tray"}, [&] { return bareHome.path(); }, {"tray"}, [&] { return appHome.path(); },
        millisToShown);
  }
  ready.report(state, "ms");
}
BENCHMARK(BM_TrayOnlyStart)->Iterations(7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
