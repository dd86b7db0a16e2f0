// A whole check of 300 apps whose answers are all fresh saved answers: the
// cost of a re-check when nothing needs the network.
//
// The first check of 300 and of 3,000 apps over loopback, with nothing
// saved yet, against its floor: plain libcurl making the same requests four
// at a time and writing each answer as the saved answers' layout needs it,
// one metadata file and one body file. Judged by CPU time, on disk and on a
// RAM disk.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

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

namespace fs = std::filesystem;

// The check's servers in a process of their own, so that the CPU time of
// this process is the client's alone. One server on each of kServerHosts
// loopback addresses, as a real check asks many hosts: one host would make
// the check's workers queue for its one connection.
constexpr int kServerHosts = 16;

class ServerProcess {
 public:
  ServerProcess() {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("no pipe");
    pid_ = ::fork();
    if (pid_ == 0) serve(fds[1]);
    ::close(fds[1]);
    for (int h = 0; h < kServerHosts; ++h) {
      int port = 0;
      if (::read(fds[0], &port, sizeof port) != sizeof port || port <= 0)
        throw std::runtime_error("the server process didn't start");
      urls.push_back("http://127.0.0." + std::to_string(h + 1) + ":" + std::to_string(port));
    }
    ::close(fds[0]);
  }
  ~ServerProcess() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Feed i is on host i % kServerHosts; the App Store lookups on the first.
  std::vector<InstalledApp> apps(int count) const {
    auto apps = bench::checkApps(urls[0], count);
    for (size_t i = 0; i < apps.size(); ++i)
      if (apps[i].feedURL) apps[i].feedURL = urls[i % urls.size()] + "/feed/" + std::to_string(i);
    return apps;
  }

  std::vector<std::string> urls;

 private:
  [[noreturn]] static void serve(int tell) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    std::vector<std::unique_ptr<httplib::Server>> servers;
    std::vector<std::jthread> threads;
    for (int h = 0; h < kServerHosts; ++h) {
      auto& server = *servers.emplace_back(std::make_unique<httplib::Server>());
      server.set_tcp_nodelay(true);
      bench::serveCheckAnswers(server, false);  // the floor's libcurl asks for no compression
      const int port = server.bind_to_any_port("127.0.0." + std::to_string(h + 1));
      if (::write(tell, &port, sizeof port) != sizeof port) ::_exit(1);
      threads.emplace_back([&server] { server.listen_after_bind(); });
    }
    for (;;) ::pause();
  }

  pid_t pid_ = -1;
};

// Passes fetches on and notes every URL asked.
class RecordingFetcher : public HTTPFetching {
 public:
  explicit RecordingFetcher(HTTPFetching& inner) : inner_(inner) {}
  FetchResult fetch(const std::string& url, std::chrono::seconds maxAge) override {
    {
      std::lock_guard lock(mutex_);
      urls.push_back(url);
    }
    return inner_.fetch(url, maxAge);
  }
  std::vector<std::string> urls;

 private:
  std::mutex mutex_;
  HTTPFetching& inner_;
};

double processCpuSeconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

template <typename Work>
double cpuSecondsOf(Work&& work) {
  const double start = processCpuSeconds();
  work();
  return processCpuSeconds() - start;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

bool writeFile(const fs::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

// The floor: four threads, each with one libcurl handle it reuses, ask the
// same URLs and write every answer as two plain files, its metadata (the
// URL and the status) and its body. Without a folder, nothing is written:
// the floor this bench had before, which does less than the job. False when
// a request or a write failed.
bool curlAndTwoFiles(const std::vector<std::string>& urls, const fs::path* folder) {
  std::atomic<int> next = 0;
  std::atomic<bool> failed = false;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&] {
        CURL* easy = curl_easy_init();
        curl_slist* headers = curl_slist_append(nullptr, "User-Agent: bench");
        for (size_t i = next++; i < urls.size(); i = next++) {
          std::string body;
          curl_easy_setopt(easy, CURLOPT_URL, urls[i].c_str());
          curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
          curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
          curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
          curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
          long status = 0;
          if (curl_easy_perform(easy) != CURLE_OK) failed = true;
          curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
          if (status != 200) failed = true;
          if (!folder) continue;
          const std::string meta =
              R"({"url":")" + urls[i] + R"(","status":)" + std::to_string(status) + "}";
          const fs::path stem = *folder / std::to_string(i);
          if (!writeFile(fs::path(stem) += ".json", meta) ||
              !writeFile(fs::path(stem) += ".body", body))
            failed = true;
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(easy);
      });
  }
  return !failed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Arguments: the number of apps, and 1 to save on a RAM disk. Each
// iteration runs the check, its floor and the old floor that keeps nothing,
// in rotating order, each into a fresh folder; a ratio is the median of the
// iterations' ratios.
void BM_FirstCheckCpuAgainstCurlAndFiles(benchmark::State& state) {
  static ServerProcess server;
  const int count = static_cast<int>(state.range(0));
  // On disk (the temporary folder) or on a RAM disk.
  const test::TempDir scratch(state.range(1) != 0 ? fs::path("/dev/shm")
                                                  : fs::temp_directory_path());
  ServiceHosts hosts;
  hosts.appStoreLookup = server.urls[0];
  const auto apps = server.apps(count);
  const CheckOptions check{std::chrono::hours(24), "us", "15.0.0", 4};

  // One check to learn the URLs it asks, which the floor then asks too.
  auto warm = bench::unspacedFetcher(scratch / "warm");
  RecordingFetcher recorder(*warm);
  UpdateChecker(recorder, nullptr, "/home/bench", hosts).check(apps, check);
  const std::vector<std::string> urls = recorder.urls;

  std::vector<double> checkCpu, floorCpu, ratios, curlOnlyRatios;
  int round = 0;
  for (auto _ : state) {
    const fs::path checkFolder = scratch / ("check" + std::to_string(round));
    const fs::path floorFolder = scratch / ("floor" + std::to_string(round));
    fs::create_directories(floorFolder);
    auto fetcher = bench::unspacedFetcher(checkFolder);
    UpdateChecker checker(*fetcher, nullptr, "/home/bench", hosts);
    bool floorOk = true, curlOk = true;
    size_t checked = 0;
    double cpu[3] = {};
    const std::function<void()> runs[3] = {
        [&] { checked = checker.check(apps, check).updates.size(); },
        [&] { floorOk = curlAndTwoFiles(urls, &floorFolder); },
        [&] { curlOk = curlAndTwoFiles(urls, nullptr); }};
    for (int k = 0; k < 3; ++k) {
      const int which = (round + k) % 3;
      cpu[which] = cpuSecondsOf(runs[which]);
    }
    if (!floorOk || !curlOk || checked != apps.size())
      state.SkipWithError("a request or a write failed");
    checkCpu.push_back(cpu[0]);
    floorCpu.push_back(cpu[1]);
    ratios.push_back(cpu[0] / cpu[1]);
    curlOnlyRatios.push_back(cpu[0] / cpu[2]);
    fetcher.reset();
    if (!scratch.remove(checkFolder) || !scratch.remove(floorFolder))
      state.SkipWithError("a scratch folder could not be emptied");
    ++round;
  }
  state.counters["check_cpu_ms"] = median(checkCpu) * 1e3;
  state.counters["floor_cpu_ms"] = median(floorCpu) * 1e3;
  state.counters["ratio_cpu"] = median(ratios);
  state.counters["ratio_cpu_to_curl_alone"] = median(curlOnlyRatios);
}
BENCHMARK(BM_FirstCheckCpuAgainstCurlAndFiles)
    ->ArgNames({"apps", "ramdisk"})
    ->Args({300, 0})
    ->Args({3000, 0})
    ->Args({300, 1})
    ->Args({3000, 1})
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace larkvale
