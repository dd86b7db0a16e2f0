// What a re-check pays per app when its answer is still fresh: the saved
// metadata and body read from disk, no network.
#include <benchmark/benchmark.h>

#include "kit/sources/PoliteFetcher.h"
#include "tests/support/TempDir.h"

namespace {

void BM_FetchFreshSavedAnswer(benchmark::State& state) {
  larkvale::test::TempDir dir;
  larkvale::PoliteFetcher fetcher(dir / "http", 1.0);
  const std::string url = "https://example.com/appcast.xml";
  std::string body(static_cast<size_t>(state.range(0)), 'x');
  fetcher.saveAnswer({url, std::chrono::system_clock::now(), 200, "\"etag-value\"",
                      "Tue, 01 Dec 2026 10:00:00 GMT"},
                     body);
  for (auto _ : state) {
    auto result = fetcher.fetch(url, 3600);
    if (!result.fromCache) state.SkipWithError("the saved answer was not used");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_FetchFreshSavedAnswer)->Arg(2 * 1024)->Arg(64 * 1024)->Unit(benchmark::kMicrosecond);

}  // namespace
