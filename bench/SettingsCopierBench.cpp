// Copy Settings against `cp -a` on the same generated settings tree:
// 20,000 small files, 200 MB in all, in 200 folders below a fake home's
// Application Support. The tree is made once under /tmp and removed at exit;
// each iteration copies into a fresh destination that is removed untimed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "kit/movingday/SettingsCopier.h"

namespace {

namespace fs = std::filesystem;
using larkvale::SettingsCopier;

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;
constexpr size_t kFileBytes = 10 * 1000 * 1000 / 1000;  // 10 kB: 20,000 files make 200 MB

class Tree {
 public:
  Tree() {
    std::string pattern = "/tmp/larkvale-bench-XXXXXX";
    root_ = ::mkdtemp(pattern.data());
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
  ~Tree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path home() const { return root_ / "home"; }
  fs::path destination() const { return root_ / "dest"; }
  fs::path source() const { return home() / "Library/Application Support/BenchApp"; }

 private:
  fs::path root_;
};

const Tree& tree() {
  static const Tree t;
  return t;
}

void clearDestination(benchmark::State& state) {
  state.PauseTiming();
  fs::remove_all(tree().destination());
  fs::create_directory(tree().destination());
  state.ResumeTiming();
}

void BM_SettingsCopierCopy(benchmark::State& state) {
  SettingsCopier copier(tree().home());
  std::vector<larkvale::SettingsPick> picks = {
      {"~/Library/Application Support/BenchApp", "Bench", "com.example.bench"}};
  for (auto _ : state) {
    clearDestination(state);
    auto result = copier.copy(picks, {}, tree().destination(), "Bench", "15.1.0",
                              std::chrono::system_clock::now());
    if (result.manifest.settings.at(0).files != kFolders * kFilesPerFolder) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kFolders * kFilesPerFolder *
                          static_cast<int64_t>(kFileBytes));
}

void BM_CpArchive(benchmark::State& state) {
  std::string command =
      "cp -a '" + tree().source().string() + "' '" + (tree().destination() / "copy").string() + "'";
  for (auto _ : state) {
    clearDestination(state);
    if (std::system(command.c_str()) != 0) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kFolders * kFilesPerFolder *
                          static_cast<int64_t>(kFileBytes));
}

BENCHMARK(BM_SettingsCopierCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CpArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
