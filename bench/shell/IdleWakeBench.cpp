// How often the app wakes while nothing happens: its window open on an X
// server of the bench's own (Xvfb) with no tray, and no session bus (the
// address names a missing socket), as on a plain desktop without a panel.
// Once the app has settled (past its schedule's first tick), the context
// switches of all its threads are counted over 30 s and reported as the
// counter `switches_per_30s` (voluntary and involuntary alike; a thread
// that ends within the 30 s takes its count with it). An app that
// learns of a tray from the desktop's notices, not from a clock, stays near
// the floor of a few switches.
// Skipped when Xvfb can't be found or started.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/shell/ProbeHome.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// Past the first tick of the app's schedule (20 s after start), whose check
// is no part of its idle life.
constexpr auto kSettle = 25s;
constexpr auto kWatch = 30s;

// A spawned program with its stdout on a pipe; ended (SIGTERM) and reaped
// when it goes.
class Child {
 public:
  Child(std::vector<std::string> args, std::vector<std::string> env) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    lines_ = fdopen(out[0], "r");
  }
  ~Child() {
    if (lines_) fclose(lines_);
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  // The next line on its stdout, without the newline; empty once it ends.
  std::string line() {
    char buffer[256];
    if (!lines_ || !fgets(buffer, sizeof buffer, lines_)) return {};
    std::string text(buffer);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

 private:
  pid_t pid_ = 0;
  FILE* lines_ = nullptr;
};

// Each thread's context switches so far, by thread id.
std::map<std::string, long long> contextSwitches(pid_t pid) {
  std::map<std::string, long long> threads;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream status(task.path() / "status");
    std::string line;
    long long total = 0;
    while (std::getline(status, line)) {
      for (const char* key : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"}) {
        if (line.rfind(key, 0) == 0) total += std::stoll(line.substr(std::string(key).size()));
      }
    }
    threads[task.path().filename().string()] = total;
  }
  return threads;
}

// The switches between two counts: a thread's own difference, all of a
// thread's that started in between. A thread that ended in between takes
// its count with it: the number is a floor.
long long switchesBetween(const std::map<std::string, long long>& before,
                          const std::map<std::string, long long>& after) {
  long long total = 0;
  for (const auto& [thread, count] : after) {
    const auto earlier = before.find(thread);
    total += count - (earlier == before.end() ? 0 : earlier->second);
  }
  return total;
}

void BM_IdleWindowWithoutTrayOnX(benchmark::State& state) {
  larkvale::test::TempDir home;
  // -noreset: a server resets when its last client leaves.
  Child xvfb(
      {"Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
      {"PATH=/usr/bin:/bin"});
  const std::string display = xvfb.line();
  if (xvfb.pid() <= 0 || display.empty()) {
    state.SkipWithError("Xvfb can't start here");
    return;
  }
  const std::vector<std::string> env = probe::environment(home.path(), "xcb", ":" + display);
  long long switches = -1;
  for (auto _ : state) {
    Child app({LARKVALE_STARTUP_PROBE, "app", "--stay"}, env);
    if (app.line() != "shown") {
      state.SkipWithError("the app showed no window");
      return;
    }
    std::this_thread::sleep_for(kSettle);
    const auto before = contextSwitches(app.pid());
    std::this_thread::sleep_for(kWatch);
    switches = switchesBetween(before, contextSwitches(app.pid()));
  }
  state.counters["switches_per_30s"] = static_cast<double>(switches);
}
BENCHMARK(BM_IdleWindowWithoutTrayOnX)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
