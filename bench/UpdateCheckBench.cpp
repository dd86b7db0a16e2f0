// A whole check of 300 apps whose answers are all fresh saved answers: the
// cost of a re-check when nothing needs the network.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/UpdateChecker.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

// Counts the time spent inside the real fetcher.
class TimedFetcher : public HTTPFetching {
 public:
  explicit TimedFetcher(HTTPFetching& inner) : inner_(inner) {}
  FetchResult fetch(const std::string& url, double maxAge) override {
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

std::string feedBody() {
  std::string items;
  for (int i = 0; i < 20; ++i)
    items += "<item><title>Release " + std::to_string(i) + "</title><sparkle:version>" +
             std::to_string(100 + i) + "</sparkle:version><sparkle:shortVersionString>2." +
             std::to_string(i) +
             "</sparkle:shortVersionString><description><![CDATA[<p>Fixes and <b>speed</b>."
             "</p>]]></description><pubDate>Mon, 01 Jan 2024 10:00:00 +0000</pubDate>"
             "<enclosure url=\"https://example.com/a.zip\" length=\"100\"/></item>";
  return "<rss><channel><title>Feed</title>" + items + "</channel></rss>";
}

void BM_CheckOfFreshSavedAnswers(benchmark::State& state) {
  test::TempDir tmp;
  test::TestServer server;
  const std::string body = feedBody();
  server.server().Get(R"(/feed/\d+)",
                      [&](const auto&, auto& res) { res.set_content(body, "application/xml"); });
  server.server().Get("/lookup", [](const auto&, auto& res) {
    res.set_content(R"({"results":[{"trackId":1,"version":"9.0","bundleId":"x"}]})",
                    "application/json");
  });
  server.start();
  ServiceHosts hosts;
  hosts.appStoreLookup = server.url();

  std::vector<InstalledApp> apps;
  for (int i = 0; i < 300; ++i) {
    InstalledApp app;
    app.path = "/Applications/App" + std::to_string(i) + ".app";
    app.name = "App " + std::to_string(i);
    app.bundleID = "com.example.app" + std::to_string(i);
    app.version = "2.0";
    app.build = "100";
    if (i % 10 == 0) {
      app.hasAppStoreReceipt = true;
      app.storeID = i + 1;
    } else {
      app.feedURL = server.url("/feed/" + std::to_string(i));
    }
    apps.push_back(app);
  }
  PoliteFetcher::Options options;
  options.spacing = 0;
  PoliteFetcher fetcher(makeCurlSession(), tmp.path() / "http", options);
  TimedFetcher timed(fetcher);
  UpdateChecker checker(timed, nullptr, "/home/bench", hosts);
  const CheckOptions check{86400, "us", "15.0.0", 4};
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
  FetchResult fetch(const std::string& url, double) override {
    if (url.find("/lookup") != std::string::npos)
      return {200, R"({"results":[{"trackId":1,"version":"9.0","bundleId":"x"}]})", true};
    return {200, feed_, true};
  }

 private:
  std::string feed_;
};

void BM_CheckOutsideTheFetcher(benchmark::State& state) {
  std::vector<InstalledApp> apps;
  for (int i = 0; i < 300; ++i) {
    InstalledApp app;
    app.path = "/Applications/App" + std::to_string(i) + ".app";
    app.name = app.bundleID = "com.example.app" + std::to_string(i);
    app.version = "2.0";
    app.build = "100";
    if (i % 10 == 0)
      app.hasAppStoreReceipt = true;
    else
      app.feedURL = "http://127.0.0.1/feed/" + std::to_string(i);
    apps.push_back(app);
  }
  MemoryFetcher fetcher(feedBody());
  UpdateChecker checker(fetcher, nullptr, "/home/bench");
  const CheckOptions check{86400, "us", "15.0.0", 4};
  for (auto _ : state) benchmark::DoNotOptimize(checker.check(apps, check));
}
BENCHMARK(BM_CheckOutsideTheFetcher)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace larkvale
