// A whole check of 300 apps whose answers are all fresh saved answers: the
// cost of a re-check when nothing needs the network.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "bench/CheckBenchSetup.h"
#include "kit/sources/UpdateChecker.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

// Counts the time spent inside the real fetcher.
class TimedFetcher : public HTTPFetching {
 public:
  explicit TimedFetcher(HTTPFetching& inner) : inner_(inner) {}
  FetchResult fetch(const std::string& url, std::chrono::seconds maxAge) override {
    const auto start = std::chrono::steady_clock::now();
    auto result = inner_.fetch(url, maxAge);
    nanos += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                 .count();
    return result;
  }
  std::atomic<int64_t> nanos{0};

 private:
  HTTPFetching& inner_;
};

void BM_CheckOfFreshSavedAnswers(benchmark::State& state) {
  test::TempDir tmp;
  bench::CheckServer setup;
  auto fetcher = bench::unspacedFetcher(tmp.path() / "http");
  const auto& apps = setup.apps;
  TimedFetcher timed(*fetcher);
  UpdateChecker checker(timed, nullptr, "/home/bench", setup.hosts);
  const CheckOptions check{std::chrono::hours(24), "us", "15.0.0", 4};
  checker.check(apps, check);  // fills the saved answers

  timed.nanos = 0;
  for (auto _ : state) benchmark::DoNotOptimize(checker.check(apps, check));
  const double fetchShare = static_cast<double>(timed.nanos.load()) / 4 /
                            (state.iterations() * 1.0);  // per check, across 4 workers
  state.counters["fetch_ns_per_check_per_worker"] = fetchShare;
}
BENCHMARK(BM_CheckOfFreshSavedAnswers)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same check with answers handed over from memory: what the check costs
// outside the fetcher.
class MemoryFetcher : public HTTPFetching {
 public:
  explicit MemoryFetcher(std::string feed) : feed_(std::move(feed)) {}
  FetchResult fetch(const std::string& url, std::chrono::seconds) override {
    if (url.find("/lookup") != std::string::npos) return {200, bench::kLookupAnswer, true};
    return {200, feed_, true};
  }

 private:
  std::string feed_;
};

void BM_CheckOutsideTheFetcher(benchmark::State& state) {
  const auto apps = bench::checkApps("http://127.0.0.1");
  MemoryFetcher fetcher(bench::feedBody());
  UpdateChecker checker(fetcher, nullptr, "/home/bench");
  const CheckOptions check{std::chrono::hours(24), "us", "15.0.0", 4};
  for (auto _ : state) benchmark::DoNotOptimize(checker.check(apps, check));
}
BENCHMARK(BM_CheckOutsideTheFetcher)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace larkvale
