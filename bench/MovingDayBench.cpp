// Moving day over 300 apps: building the inventory rows against a home folder
// with 300 Application Support entries, and rendering the whole checklist
// document as Markdown and as PDF.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "kit/movingday/Checklist.h"
#include "kit/movingday/MovingDayDocument.h"
#include "kit/movingday/SettingsLocator.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

constexpr int kApps = 300;

std::vector<AppUpdate> updates() {
  std::vector<AppUpdate> out;
  for (int i = 0; i < kApps; ++i) {
    const std::string n = std::to_string(i);
    AppUpdate u;
    u.app.path = "/Applications/App " + n + ".app";
    u.app.name = "App " + n;
    u.app.bundleID = "com.example.app" + n;
    u.app.version = "1." + n;
    u.app.feedURL = "https://www.example.com/" + n + "/appcast.xml";
    u.source = i % 3 == 0   ? UpdateSource::homebrew("app-" + n)
               : i % 3 == 1 ? UpdateSource::sparkle(*u.app.feedURL)
                            : UpdateSource::appStore();
    out.push_back(std::move(u));
  }
  return out;
}

const test::TempDir& home() {
  static const test::TempDir dir;
  static const bool filled = [] {
    for (int i = 0; i < kApps; ++i) {
      const std::string n = std::to_string(i);
      dir.write("Library/Preferences/com.example.app" + n + ".plist", "");
      dir.write("Library/Application Support/App " + n + "/licence.key", "");
    }
    return true;
  }();
  (void)filled;
  return dir;
}

std::vector<InventoryEntry> inventory() {
  SettingsLocator locator(home().path());
  std::vector<InventoryEntry> out;
  for (const auto& u : updates()) out.push_back(locator.inventoryEntry(u, std::nullopt));
  return out;
}

// The rows against the floor of any inventory: the file-system questions
// they rest on (one listing of Application Support, one look at each app's
// preferences file) and nothing else. The two take turns in every iteration;
// the home folder is made before the timing starts.
void BM_InventoryEntries(benchmark::State& state) {
  const auto all = updates();
  const std::filesystem::path folder = home().path();
  using Clock = std::chrono::steady_clock;
  Clock::duration rows{}, floor{};
  for (auto _ : state) {
    const auto start = Clock::now();
    SettingsLocator locator(folder);
    for (const auto& u : all) benchmark::DoNotOptimize(locator.inventoryEntry(u, std::nullopt));
    const auto middle = Clock::now();
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder / "Library/Application Support", ec))
      benchmark::DoNotOptimize(entry.path());
    for (const auto& u : all) {
      struct stat st {};
      const auto plist = folder / "Library/Preferences" / (u.app.bundleID + ".plist");
      benchmark::DoNotOptimize(::stat(plist.c_str(), &st));
    }
    rows += middle - start;
    floor += Clock::now() - middle;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["rows_ms"] = std::chrono::duration<double, std::milli>(rows).count() / n;
  state.counters["floor_ms"] = std::chrono::duration<double, std::milli>(floor).count() / n;
  state.counters["ratio"] =
      std::chrono::duration<double>(rows) / std::chrono::duration<double>(floor);
}
BENCHMARK(BM_InventoryEntries)->Unit(benchmark::kMillisecond);

std::vector<DocBlock> documentBlocks() {
  const auto entries = inventory();
  return MovingDayDocument::blocks(entries, Checklist::items(entries), {}, "Studio",
                                   std::chrono::system_clock::now());
}

void BM_RenderMarkdown(benchmark::State& state) {
  const auto blocks = documentBlocks();
  for (auto _ : state) benchmark::DoNotOptimize(MovingDayDocument::renderMarkdown(blocks));
}
BENCHMARK(BM_RenderMarkdown)->Unit(benchmark::kMicrosecond);

// The floor of the Markdown export: the same lines only joined.
void BM_JoinMarkdownLines(benchmark::State& state) {
  const std::string text = MovingDayDocument::renderMarkdown(documentBlocks());
  std::vector<std::string> lines;
  for (size_t from = 0, at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
    lines.push_back(text.substr(from, at - from));
  for (auto _ : state) {
    std::string joined;
    for (const auto& line : lines) (joined += line) += '\n';
    benchmark::DoNotOptimize(joined);
  }
}
BENCHMARK(BM_JoinMarkdownLines)->Unit(benchmark::kMicrosecond);

void BM_RenderPDF(benchmark::State& state) {
  const auto blocks = documentBlocks();
  for (auto _ : state) benchmark::DoNotOptimize(MovingDayDocument::renderPDF(blocks));
}
BENCHMARK(BM_RenderPDF)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace larkvale
