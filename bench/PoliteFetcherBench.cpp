// What the fetcher costs, each case beside the floor it is measured against.
//
// Over loopback (64 feeds of 16 KiB on 16 hosts, four requests at a time, no
// spacing): a first check that saves every answer, and a re-check that every
// feed answers with 304. The floor of both is plain libcurl on four threads
// making the same requests and keeping nothing. The argument is the time in
// milliseconds each server takes before it answers: 0 measures loopback
// alone, where the fetcher's file writes are all there is to see; 10 stands
// in for a near server on a real network.
//
// From the saved answers: a re-check whose answers are all fresh, four at a
// time; its floor reads the same files on four threads with nothing between.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "bench/CheckBenchSetup.h"
#include "kit/sources/PoliteFetcher.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kFeeds = 64;
constexpr int kHosts = 16;
constexpr size_t kBodyBytes = 16 * 1024;
constexpr int kAtATime = 4;
constexpr const char* kETag = "\"v1\"";

// Runs work(i) for every i below n on kAtATime threads.
void fourAtATime(int n, const std::function<void(int)>& work) {
  std::atomic<int> next = 0;
  std::vector<std::jthread> threads;
  for (int t = 0; t < kAtATime; ++t)
    threads.emplace_back([&] {
      for (int i = next++; i < n; i = next++) work(i);
    });
}

// One server on each of kHosts loopback addresses; the feeds take the hosts
// in turn. A request that names the feed's ETag is answered 304.
class LoopbackFeeds {
 public:
  LoopbackFeeds() : body_(kBodyBytes, 'x') {
    for (int h = 0; h < kHosts; ++h) {
      auto& server = *servers_.emplace_back(std::make_unique<httplib::Server>());
      // Headers and body go out in separate writes; without this, the body
      // waits for the client's delayed acknowledgement of the headers.
      server.set_tcp_nodelay(true);
      server.Get(R"(/feed/\d+)", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto wait = delay.load(); wait.count() > 0) std::this_thread::sleep_for(wait);
        if (req.get_header_value("If-None-Match") == kETag) {
          res.status = 304;
          return;
        }
        res.set_header("ETag", kETag);
        res.set_header("Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT");
        // A type the server leaves uncompressed, so both sides get the same bytes.
        res.set_content(body_, "application/octet-stream");
      });
      std::string host = "127.0.0." + std::to_string(h + 1);
      int port = server.bind_to_any_port(host);
      threads_.emplace_back([&server] { server.listen_after_bind(); });
      while (!server.is_running()) std::this_thread::yield();
      hosts_.push_back("http://" + host + ":" + std::to_string(port));
    }
    for (int i = 0; i < kFeeds; ++i)
      urls.push_back(hosts_[static_cast<size_t>(i) % hosts_.size()] + "/feed/" + std::to_string(i));
  }
  ~LoopbackFeeds() {
    for (auto& server : servers_) server->stop();
  }

  std::vector<std::string> urls;
  std::atomic<std::chrono::milliseconds> delay{};

 private:
  std::string body_;
  std::vector<std::unique_ptr<httplib::Server>> servers_;
  std::vector<std::string> hosts_;
  std::vector<std::jthread> threads_;
};

// The shared servers, answering after the benchmark's argument in ms.
LoopbackFeeds& feeds(const benchmark::State& state) {
  static LoopbackFeeds shared;
  shared.delay = std::chrono::milliseconds(state.range(0));
  return shared;
}

// Every case runs with a server that answers at once and one that waits 10 ms.
void atBothLatencies(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

void writePlainly(const fs::path& stem, const std::string& body) {
  std::ofstream(fs::path(stem) += ".body", std::ios::binary) << body;
  std::ofstream(fs::path(stem) += ".json", std::ios::binary) << R"({"url":"x","status":200})";
}

// The floor: each thread one easy handle, reused, nothing kept unless a
// folder is given: then each body and a small metadata file are written
// there as plain files, the least any cache on disk pays.
void curlFourAtATime(const std::vector<std::string>& urls, bool conditional,
                     benchmark::State& state, const fs::path* folder = nullptr) {
  std::atomic<int> wrong = 0;
  std::atomic<int> next = 0;
  std::vector<std::jthread> threads;
  for (int t = 0; t < kAtATime; ++t)
    threads.emplace_back([&] {
      CURL* easy = curl_easy_init();
      curl_slist* headers = curl_slist_append(nullptr, "User-Agent: bench");
      if (conditional) headers = curl_slist_append(headers, "If-None-Match: \"v1\"");
      for (int i = next++; i < static_cast<int>(urls.size()); i = next++) {
        std::string received;
        curl_easy_setopt(easy, CURLOPT_URL, urls[static_cast<size_t>(i)].c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
        long status = 0;
        if (curl_easy_perform(easy) != CURLE_OK) ++wrong;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (status != (conditional ? 304 : 200)) ++wrong;
        if (folder) writePlainly(*folder / std::to_string(i), received);
      }
      curl_slist_free_all(headers);
      curl_easy_cleanup(easy);
    });
  threads.clear();
  if (wrong > 0) state.SkipWithError("a request failed");
}

void BM_FirstCheckThroughFetcher(benchmark::State& state) {
  const auto& urls = feeds(state).urls;
  test::TempDir dir;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto fetcher = bench::unspacedFetcher(dir / std::to_string(round++));
    std::atomic<int> wrong = 0;
    state.ResumeTiming();
    fourAtATime(kFeeds, [&](int i) {
      if (fetcher->fetch(urls[static_cast<size_t>(i)], 0s).status != 200) ++wrong;
    });
    state.PauseTiming();
    if (wrong > 0) state.SkipWithError("a request failed");
    fetcher.reset();
    if (!dir.remove(dir / std::to_string(round - 1)))
      state.SkipWithError("a scratch folder could not be emptied");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstCheckThroughFetcher)->Apply(atBothLatencies);

void BM_FirstCheckFloorCurl(benchmark::State& state) {
  const auto& urls = feeds(state).urls;
  for (auto _ : state) curlFourAtATime(urls, false, state);
}
BENCHMARK(BM_FirstCheckFloorCurl)->Apply(atBothLatencies);

void BM_FirstCheckFloorCurlAndFiles(benchmark::State& state) {
  const auto& urls = feeds(state).urls;
  test::TempDir dir;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path folder = dir / std::to_string(round++);
    fs::create_directories(folder);
    state.ResumeTiming();
    curlFourAtATime(urls, false, state, &folder);
    state.PauseTiming();
    if (!dir.remove(folder)) state.SkipWithError("a scratch folder could not be emptied");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstCheckFloorCurlAndFiles)->Apply(atBothLatencies);

void BM_RecheckAnswered304ThroughFetcher(benchmark::State& state) {
  const auto& urls = feeds(state).urls;
  test::TempDir dir;
  auto fetcher = bench::unspacedFetcher(dir / "http");
  for (const auto& url : urls) fetcher->fetch(url, 0s);
  for (auto _ : state) {
    std::atomic<int> wrong = 0;
    fourAtATime(kFeeds, [&](int i) {
      if (!fetcher->fetch(urls[static_cast<size_t>(i)], 0s).fromCache) ++wrong;
    });
    if (wrong > 0) state.SkipWithError("a feed was not confirmed by 304");
  }
}
BENCHMARK(BM_RecheckAnswered304ThroughFetcher)->Apply(atBothLatencies);

void BM_RecheckAnswered304FloorCurl(benchmark::State& state) {
  const auto& urls = feeds(state).urls;
  for (auto _ : state) curlFourAtATime(urls, true, state);
}
BENCHMARK(BM_RecheckAnswered304FloorCurl)->Apply(atBothLatencies);

// 300 fresh saved answers read four at a time.
constexpr int kSaved = 300;

std::vector<std::string> savedUrls(const fs::path& folder) {
  std::vector<std::string> urls;
  const std::string body(kBodyBytes, 'x');
  for (int i = 0; i < kSaved; ++i) {
    urls.push_back("https://feeds" + std::to_string(i % 40) + ".example.com/appcast/" +
                   std::to_string(i) + ".xml");
    SavedAnswers::save(folder,
                       {urls.back(), std::chrono::system_clock::now(), 200, kETag,
                        "Tue, 01 Dec 2026 10:00:00 GMT"},
                       body);
  }
  return urls;
}

// Reads every saved answer four at a time; read says whether it found one.
void readFourAtATime(benchmark::State& state, const std::vector<std::string>& urls,
                     const std::function<bool(const std::string&)>& read) {
  for (auto _ : state) {
    std::atomic<int> wrong = 0;
    fourAtATime(kSaved, [&](int i) {
      if (!read(urls[static_cast<size_t>(i)])) ++wrong;
    });
    if (wrong > 0) state.SkipWithError("a saved answer was not used");
  }
}

void BM_FreshSavedAnswersFourAtATimeThroughFetcher(benchmark::State& state) {
  test::TempDir dir;
  auto fetcher = bench::unspacedFetcher(dir / "http");
  readFourAtATime(state, savedUrls(dir / "http"),
                  [&](const std::string& url) { return fetcher->fetch(url, 1h).fromCache; });
}
BENCHMARK(BM_FreshSavedAnswersFourAtATimeThroughFetcher)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FreshSavedAnswersFourAtATimeFloorFiles(benchmark::State& state) {
  test::TempDir dir;
  auto fetcher = bench::unspacedFetcher(dir / "http");  // makes the folder
  readFourAtATime(state, savedUrls(dir / "http"), [&](const std::string& url) {
    return SavedAnswers::load(dir / "http", url).has_value();
  });
}
BENCHMARK(BM_FreshSavedAnswersFourAtATimeFloorFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// What one re-check pays per app when its answer is still fresh: the saved
// metadata and body read from disk, no network.
void BM_FetchFreshSavedAnswer(benchmark::State& state) {
  test::TempDir dir;
  auto fetcher = bench::unspacedFetcher(dir / "http");
  const std::string url = "https://example.com/appcast.xml";
  std::string body(static_cast<size_t>(state.range(0)), 'x');
  SavedAnswers::save(dir / "http",
                     {url, std::chrono::system_clock::now(), 200, "\"etag-value\"",
                      "Tue, 01 Dec 2026 10:00:00 GMT"},
                     body);
  for (auto _ : state) {
    auto result = fetcher->fetch(url, 1h);
    if (!result.fromCache) state.SkipWithError("the saved answer was not used");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_FetchFreshSavedAnswer)->Arg(2 * 1024)->Arg(64 * 1024)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace larkvale
