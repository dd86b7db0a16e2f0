// Saving and loading a large state: 300 history entries and a last report of
// 500 apps, every optional field of the updates filled.
#include <benchmark/benchmark.h>

#include "kit/model/StateStore.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

AppState largeState() {
  using namespace std::chrono;
  Date now = Date{sys_days{2026y / 6 / 1}};
  CheckReport report{now, {}, true, {"Homebrew didn’t answer in time."}};
  for (int i = 0; i < 500; ++i) {
    std::string n = std::to_string(i);
    AppUpdate u;
    u.app = InstalledApp{"/Applications/App " + n + ".app",
                         "App " + n,
                         "com.example.app" + n,
                         "1." + n,
                         n,
                         "https://example.com/" + n + "/appcast.xml",
                         false,
                         false,
                         "Sparkle",
                         std::nullopt,
                         std::nullopt,
                         "owner/app" + n};
    u.source = i % 3 == 0 ? UpdateSource::homebrew("app-" + n)
                          : UpdateSource::sparkle("https://example.com/" + n + "/appcast.xml");
    u.status = i % 4 == 0 ? UpdateStatus::notChecked("The feed didn’t answer.")
                          : UpdateStatus::updateAvailable();
    u.latestVersion = "2." + n;
    u.notes = std::string(400, 'n');
    u.notesURL = "https://example.com/" + n + "/notes";
    u.downloadURL = "https://example.com/" + n + "/download.zip";
    u.released = now - hours{i};
    u.remark = "Pinned in Homebrew.";
    report.updates.push_back(std::move(u));
  }
  AppState state;
  state.record(report);
  for (int i = 0; i < 300; ++i) {
    std::string n = std::to_string(i);
    state.history.push_back(HistoryEntry{now - hours{i}, "App " + n, "com.example.app" + n,
                                         "1." + n, "2." + n, "Sparkle feed"});
    state.skipped["com.example.app" + n] = "3." + n;
  }
  return state;
}

void BM_StateSave(benchmark::State& bench) {
  test::TempDir dir;
  StateStore store(dir.path());
  AppState state = largeState();
  for (auto _ : bench) store.save(state);
  bench.counters["bytes"] = static_cast<double>(StateStore::encode(state).size());
}
BENCHMARK(BM_StateSave)->Unit(benchmark::kMillisecond);

void BM_StateLoad(benchmark::State& bench) {
  test::TempDir dir;
  StateStore store(dir.path());
  store.save(largeState());
  for (auto _ : bench) benchmark::DoNotOptimize(store.load());
}
BENCHMARK(BM_StateLoad)->Unit(benchmark::kMillisecond);

void BM_StateEncode(benchmark::State& bench) {
  AppState state = largeState();
  for (auto _ : bench) benchmark::DoNotOptimize(StateStore::encode(state));
}
BENCHMARK(BM_StateEncode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace larkvale
