// Copy Settings against `cp -a` on the same generated settings tree:
// 20,000 small files, 200 MB in all, in 200 folders below a fake home's
// Application Support. The tree is made once under /tmp and removed at exit;
// each copy goes into a fresh destination that is removed untimed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "kit/movingday/SettingsCopier.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using larkvale::SettingsCopier;

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;
constexpr size_t kFileBytes = 10 * 1000 * 1000 / 1000;  // 10 kB: 20,000 files make 200 MB

class Tree {
 public:
  Tree() {
    fs::path app = home() / "Library/Application Support/BenchApp";
    std::string content(kFileBytes, 'x');
    for (int f = 0; f < kFolders; ++f) {
      fs::path folder = app / ("folder" + std::to_string(f));
      fs::create_directories(folder);
      for (int i = 0; i < kFilesPerFolder; ++i) {
        content[0] = static_cast<char>('a' + i % 26);
        int fd = ::open((folder / ("file" + std::to_string(i) + ".json")).c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, content.data(), content.size()) < 0) std::abort();
        ::close(fd);
      }
    }
  }
  fs::path home() const { return root_ / "home"; }
  fs::path destination() const { return root_ / "dest"; }
  void clearDestination() const {
    if (!root_.remove(destination())) std::abort();
    fs::create_directory(destination());
  }
  fs::path source() const { return home() / "Library/Application Support/BenchApp"; }

 private:
  larkvale::test::TempDir root_{"/tmp"};
};

const Tree& tree() {
  static const Tree t;
  return t;
}

// The copier and `cp -a` take turns, each into an emptied destination, and
// swap places every iteration: a copy that follows the removal of the last
// one's 20,000 files pays for freeing their inodes, so neither side may
// always come second.
void BM_SettingsCopierVersusCp(benchmark::State& state) {
  SettingsCopier copier(tree().home());
  const std::vector<larkvale::SettingsPick> picks = {
      {"~/Library/Application Support/BenchApp", "Bench", "com.example.bench"}};
  const std::string command =
      "cp -a '" + tree().source().string() + "' '" + (tree().destination() / "copy").string() + "'";
  using Clock = std::chrono::steady_clock;
  Clock::duration copierTime{}, cpTime{};
  auto runCopier = [&] {
    const auto start = Clock::now();
    auto result = copier.copy(picks, {}, tree().destination(), "Bench", "15.1.0",
                              std::chrono::system_clock::now());
    copierTime += Clock::now() - start;
    if (result.manifest.settings.at(0).files != kFolders * kFilesPerFolder) std::abort();
  };
  auto runCp = [&] {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) std::abort();
    cpTime += Clock::now() - start;
  };
  bool copierFirst = true;
  for (auto _ : state) {
    tree().clearDestination();
    copierFirst ? runCopier() : runCp();
    tree().clearDestination();
    copierFirst ? runCp() : runCopier();
    copierFirst = !copierFirst;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["copier_ms"] = std::chrono::duration<double, std::milli>(copierTime).count() / n;
  state.counters["cp_ms"] = std::chrono::duration<double, std::milli>(cpTime).count() / n;
  state.counters["ratio"] =
      std::chrono::duration<double>(copierTime) / std::chrono::duration<double>(cpTime);
}
// An even number of iterations gives each side the first place equally often.
BENCHMARK(BM_SettingsCopierVersusCp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

}  // namespace
