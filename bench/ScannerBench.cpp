// The scan of a large application folder, measured against the floor of any
// scan (stat and read every Info.plist, nothing else), and the version order.
#include <benchmark/benchmark.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include "kit/model/AppScanner.h"
#include "kit/model/Version.h"
#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// 1,000 bundles, half in subfolders, half with binary property lists.
struct GeneratedApps {
  test::TempDir dir;
  std::vector<fs::path> plists;

  GeneratedApps() {
    for (int i = 0; i < 1000; ++i) {
      std::string folder = i % 2 ? "Applications/Group" + std::to_string(i % 20) : "Applications";
      std::string name = "App " + std::to_string(i) + ".app";
      PlistDict info{{"CFBundleIdentifier", "com.example.app" + std::to_string(i)},
                     {"CFBundleShortVersionString", "1." + std::to_string(i % 37) + ".2"},
                     {"CFBundleVersion", std::to_string(1000 + i)},
                     {"CFBundleName", "App " + std::to_string(i)},
                     {"CFBundleExecutable", "App"},
                     {"CFBundlePackageType", "APPL"},
                     {"LSMinimumSystemVersion", "12.0"},
                     {"NSHumanReadableCopyright", "Copyright 2024 Example. All rights reserved."},
                     {"SUFeedURL", "https://example.com/app" + std::to_string(i) + "/appcast.xml"},
                     {"LSApplicationCategoryType", "public.app-category.productivity"},
                     {"CFBundleSupportedPlatforms", PlistArray{"MacOSX"}},
                     {"NSHighResolutionCapable", true}};
      PlistValue value(std::move(info));
      plists.push_back(
          dir.write(folder + "/" + name + "/Contents/Info.plist",
                    i % 4 < 2 ? PropertyList::toBinary(value) : PropertyList::toXml(value)));
    }
  }
};

const GeneratedApps& apps() {
  static const GeneratedApps generated;
  return generated;
}

double processCpuSeconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Wall-clock and CPU seconds (all threads of the process) of one run.
struct Cost {
  double wall = 0, cpu = 0;
};

void measure(Cost& total, auto&& work) {
  auto wallStart = std::chrono::steady_clock::now();
  double cpuStart = processCpuSeconds();
  work();
  total.cpu += processCpuSeconds() - cpuStart;
  total.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
}

// The scan reads bundles on several threads, so it is judged by both clocks:
// wall time is what the user waits for, CPU time what the machine spends.
void BM_ScanVersusBarePass(benchmark::State& state) {
  const auto& generated = apps();
  AppScanner scanner;
  scanner.roots = {generated.dir / "Applications"};
  Cost scan, bare;
  for (auto _ : state) {
    measure(scan, [&] {
      auto result = scanner.scan();
      if (result.size() != 1000) state.SkipWithError("scan lost bundles");
      benchmark::DoNotOptimize(result);
    });
    measure(bare, [&] {
      for (const fs::path& plist : generated.plists) {
        struct stat st {};
        ::stat(plist.c_str(), &st);
        benchmark::DoNotOptimize(FileSystem::readFile(plist));
      }
    });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["scan_ms"] = scan.wall / n * 1e3;
  state.counters["bare_ms"] = bare.wall / n * 1e3;
  state.counters["ratio_wall"] = scan.wall / bare.wall;
  state.counters["ratio_cpu"] = scan.cpu / bare.cpu;
}
BENCHMARK(BM_ScanVersusBarePass)->Unit(benchmark::kMillisecond);

void BM_VersionCompareAscii(benchmark::State& state) {
  static const std::vector<std::pair<std::string, std::string>> pairs{
      {"1.2.3", "1.2.10"},       {"2.0", "2.0.0"},        {"14.1.2", "14.1.2"},
      {"1.0b3", "1.0"},          {"5.7.1 (1234)", "5.8"}, {"2024.11.05", "2024.12.01"},
      {"120.0.6099.109", "121"}, {"3.1.0-rc.2", "3.1.0"}, {"1.28.0-1", "1.28.0"},
      {"0.9.9", "1.0.0"},
  };
  size_t i = 0;
  for (auto _ : state) {
    const auto& [a, b] = pairs[i++ % pairs.size()];
    benchmark::DoNotOptimize(Version::compare(a, b));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VersionCompareAscii);

using VersionPairs = std::vector<std::pair<std::string, std::string>>;

// Version::compare against strverscmp (glibc's version order, a single pass
// over the bytes) on the same pairs, batch by batch in turn, so that both see
// the same state of a shared machine.
void compareAgainstStrverscmp(benchmark::State& state, const VersionPairs& pairs) {
  constexpr int kRounds = 64;
  using Clock = std::chrono::steady_clock;
  Clock::duration version{}, floor{};
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int r = 0; r < kRounds; ++r)
      for (const auto& [a, b] : pairs) benchmark::DoNotOptimize(Version::compare(a, b));
    const auto middle = Clock::now();
    for (int r = 0; r < kRounds; ++r)
      for (const auto& [a, b] : pairs) benchmark::DoNotOptimize(::strverscmp(a.c_str(), b.c_str()));
    version += middle - start;
    floor += Clock::now() - middle;
  }
  const double n =
      static_cast<double>(state.iterations()) * kRounds * static_cast<double>(pairs.size());
  state.counters["compare_ns"] = std::chrono::duration<double, std::nano>(version).count() / n;
  state.counters["strverscmp_ns"] = std::chrono::duration<double, std::nano>(floor).count() / n;
  state.counters["ratio"] =
      std::chrono::duration<double>(version) / std::chrono::duration<double>(floor);
}

// Non-ASCII text in the versions: combining marks, Greek letters, dashes and
// arrows as publishers write them.
void BM_VersionCompareUnicode(benchmark::State& state) {
  static const VersionPairs pairs{
      {"1.2\xCC\x81.3 \xCE\xB2", "1.2.3 \xCE\xB2"},
      {"2.0 \xCE\xB2"
       "3",
       "2.0 \xCE\xB2"
       "4"},
      {"4.1.7 \xE2\x80\x94 build 2219", "4.1.7 \xE2\x80\x94 build 2231"},
      {"Version 3.10 (Gr\xC3\xB6\xC3\x9F"
       "e)",
       "Version 3.9"},
      {"1.0.0\xE2\x80\x91rc2", "1.0.0"},
      {"12.4 \xE2\x86\x92 12.5", "12.4"},
  };
  compareAgainstStrverscmp(state, pairs);
}
BENCHMARK(BM_VersionCompareUnicode);

// Long ASCII versions that agree up to their last parts: a date-stamped
// nightly build against its successor.
void BM_VersionCompareLongAscii(benchmark::State& state) {
  static const VersionPairs pairs{
      {"2024.11.05.1730812345-nightly+build.20241105.a1b2c3.x86-64.release.17",
       "2024.11.05.1730812345-nightly+build.20241105.a1b2c3.x86-64.release.18"},
      {"120.0.6099.109.2024.12.01.stable.channel.7.3.1.build.88231",
       "120.0.6099.109.2024.12.01.stable.channel.7.3.1.build.88231.0.0"},
  };
  compareAgainstStrverscmp(state, pairs);
}
BENCHMARK(BM_VersionCompareLongAscii);

}  // namespace
}  // namespace larkvale
