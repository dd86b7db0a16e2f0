// Planning "Update All That Are Safe" over a large report: the collation
// sort of both lists dominates.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kit/sources/Handoff.h"
#include "kit/sources/SafeUpdatePlan.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

std::vector<AppUpdate> report(int count) {
  std::vector<AppUpdate> updates;
  for (int i = 0; i < count; ++i) {
    AppUpdate update;
    std::string name = (i % 3 ? "app " : "App ") + std::to_string((i * 7919) % count);
    update.app.path = "/Applications/" + name + ".app";
    update.app.name = name;
    update.app.bundleID = "com.example.app" + std::to_string(i);
    update.app.version = "1.0";
    update.status = UpdateStatus::updateAvailable();
    update.latestVersion = "2.0";
    update.critical = i % 17 == 0;
    switch (i % 4) {
      case 0:
        update.source = UpdateSource::sparkle("https://example.com/feed.xml");
        break;
      case 1:
        update.source = UpdateSource::homebrew("cask-" + std::to_string(i));
        break;
      case 2:
        update.source = UpdateSource::github("owner/repo");
        break;
      default:
        update.source = UpdateSource::appStore();
        break;
    }
    updates.push_back(std::move(update));
  }
  return updates;
}

void BM_SafeUpdatePlan(benchmark::State& state) {
  auto updates = report(static_cast<int>(state.range(0)));
  AppState saved;
  for (auto _ : state) benchmark::DoNotOptimize(SafeUpdatePlan(updates, saved));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SafeUpdatePlan)->Arg(300)->Arg(3000);

// The quick answer for the button and the menu items at its slowest: no
// update can be handed off, so every one is looked at.
void BM_SafeUpdatePlanHasCandidates(benchmark::State& state) {
  auto updates = report(static_cast<int>(state.range(0)));
  for (AppUpdate& update : updates) {
    if (update.source.kind() != UpdateSource::Kind::appStore) {
      update.source = UpdateSource::github("owner/repo");
    }
  }
  AppState saved;
  for (auto _ : state) benchmark::DoNotOptimize(SafeUpdatePlan::hasCandidates(updates, saved));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SafeUpdatePlanHasCandidates)->Arg(3000);

void BM_TerminalScript(benchmark::State& state) {
  std::vector<std::string> tokens, names;
  for (int i = 0; i < 50; ++i) {
    tokens.push_back("cask-" + std::to_string(i));
    names.push_back("App \"" + std::to_string(i) + "\" $x");
  }
  test::TempDir dir;
  const std::string brew = dir.write("bin/brew", "#!/bin/sh\n").string();
  std::filesystem::permissions(brew, std::filesystem::perms::owner_all);
  for (auto _ : state) {
    auto script = Handoff::terminalScript(tokens, names, true, brew);
    if (!script) state.SkipWithError("the stand-in brew was refused");
    benchmark::DoNotOptimize(script);
  }
}
BENCHMARK(BM_TerminalScript);

}  // namespace
}  // namespace larkvale
