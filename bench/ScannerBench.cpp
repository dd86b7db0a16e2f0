// The scan of a large application folder, measured against the floor of any
// scan (stat and read every Info.plist, nothing else), and the version order.
#include <benchmark/benchmark.h>
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

void BM_VersionCompareUnicode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Version::compare("1.2\xCC\x81.3 β", "1.2.3 β"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VersionCompareUnicode);

}  // namespace
}  // namespace larkvale
