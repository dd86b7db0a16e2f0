// Saving and loading a large state: 300 history entries and a last report of
// 500 apps, every optional field of the updates filled. The loads of
// /3000 read a last report of 3,000 apps as a check records it (the versions
// seen kept too); BM_StateDecodeThroughTree reads the same text wholly
// through the JSON tree, as loading did before it streamed the updates.
#include <benchmark/benchmark.h>

#include "bench/support/WidgetBench.h"
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

// The 500-app state for 0, else a check of that many apps recorded.
AppState stateFor(int64_t apps) {
  if (apps == 0) return largeState();
  AppState checked = bench::bigReportState(static_cast<int>(apps));
  AppState state;
  state.record(*checked.lastReport);
  return state;
}

void BM_StateLoad(benchmark::State& bench) {
  test::TempDir dir;
  StateStore store(dir.path());
  store.save(stateFor(bench.range(0)));
  for (auto _ : bench) benchmark::DoNotOptimize(store.load());
}
BENCHMARK(BM_StateLoad)->Arg(0)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_StateDecodeThroughTree(benchmark::State& bench) {
  const std::string text = StateStore::encode(stateFor(bench.range(0)));
  for (auto _ : bench) benchmark::DoNotOptimize(JsonCoding::decode<AppState>(text));
}
BENCHMARK(BM_StateDecodeThroughTree)->Arg(0)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_StateDecode(benchmark::State& bench) {
  const std::string text = StateStore::encode(stateFor(bench.range(0)));
  for (auto _ : bench) benchmark::DoNotOptimize(StateStore::decode(text));
}
BENCHMARK(BM_StateDecode)->Arg(0)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_StateEncode(benchmark::State& bench) {
  AppState state = largeState();
  for (auto _ : bench) benchmark::DoNotOptimize(StateStore::encode(state));
}
BENCHMARK(BM_StateEncode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace larkvale
