// The application model's derived lists over a large report (each read is
// worked out afresh, so a window redraw pays for it), and the cost of the
// model's check around the library's check on the same saved answers.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "app/model/AppModel.h"
#include "app/wiring/KitServices.h"
#include "bench/CheckBenchSetup.h"
#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/UpdateChecker.h"
#include "platform/HttpSession.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

void ensureApplication() {
  static int argc = 1;
  static char name[] = "larkvale_bench";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

// Keeps nothing: the bench measures the model, not a state file.
class NullStore final : public StateStorage {
 public:
  AppState load(Date) override { return {}; }
  void save(const AppState&) override {}
};

InstalledApp benchApp(int i) {
  InstalledApp app;
  app.path = "/Applications/App" + std::to_string(i) + ".app";
  app.name = (i % 2 ? "app " : "App ") + std::to_string((i * 7919) % 3000);
  app.bundleID = "com.example.app" + std::to_string(i);
  app.version = app.build = "1.0";
  return app;
}

// 3,000 apps: a third waiting (some critical, skipped or held), the rest up
// to date, unchecked or without a source.
std::unique_ptr<AppModel> largeModel(test::Fakes& fakes) {
  ensureApplication();
  AppState state;
  CheckReport report{std::chrono::system_clock::now(), {}, true, {}};
  for (int i = 0; i < 3000; ++i) {
    AppUpdate u;
    u.app = benchApp(i);
    u.source = UpdateSource::sparkle("https://example.com/" + std::to_string(i));
    u.latestVersion = "2.0";
    switch (i % 6) {
      case 0:
      case 1:
        u.status = UpdateStatus::updateAvailable();
        break;
      case 2:
        u.status = UpdateStatus::upToDate();
        break;
      case 3:
        u.status = UpdateStatus::notChecked("Offline.");
        break;
      case 4:
        u.status = UpdateStatus::noSource();
        break;
      default:
        u.status = UpdateStatus::updateAvailable();
        u.critical = true;
    }
    if (i % 30 == 0) state.skipped[u.app.bundleID] = "2.0";
    if (i % 45 == 1) state.holds[u.app.bundleID] = Hold{"later", report.date};
    report.updates.push_back(u);
  }
  state.lastReport = report;
  auto model = std::make_unique<AppModel>(fakes.services());
  model->setState(state);
  return model;
}

void BM_RowsOfAllApps(benchmark::State& state) {
  test::Fakes fakes;
  auto model = largeModel(fakes);
  for (auto _ : state) benchmark::DoNotOptimize(model->rows(Pane::allApps));
}
BENCHMARK(BM_RowsOfAllApps)->Unit(benchmark::kMillisecond);

void BM_RowsOfUpdatesWithSearch(benchmark::State& state) {
  test::Fakes fakes;
  auto model = largeModel(fakes);
  model->setSearch("APP 1");
  for (auto _ : state) benchmark::DoNotOptimize(model->rows(Pane::updates));
}
BENCHMARK(BM_RowsOfUpdatesWithSearch)->Unit(benchmark::kMillisecond);

void BM_BadgeCounts(benchmark::State& state) {
  test::Fakes fakes;
  auto model = largeModel(fakes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(model->badgeCount(Pane::updates));
    benchmark::DoNotOptimize(model->badgeCount(Pane::held));
  }
}
BENCHMARK(BM_BadgeCounts)->Unit(benchmark::kMillisecond);

void BM_PendingUpdates(benchmark::State& state) {
  test::Fakes fakes;
  auto model = largeModel(fakes);
  for (auto _ : state) benchmark::DoNotOptimize(model->pendingUpdates());
}
BENCHMARK(BM_PendingUpdates)->Unit(benchmark::kMillisecond);

// What the window and the tray read after one change of state: the waiting
// updates, the safe plan, both badges and the rows of the two update panes.
void BM_DerivedAfterStateChange(benchmark::State& state) {
  test::Fakes fakes;
  auto model = largeModel(fakes);
  for (auto _ : state) {
    model->mutateState([](AppState&) {});
    benchmark::DoNotOptimize(model->pendingUpdates().size());
    benchmark::DoNotOptimize(model->safePlan().candidates.size());
    benchmark::DoNotOptimize(model->badgeCount(Pane::updates));
    benchmark::DoNotOptimize(model->badgeCount(Pane::held));
    benchmark::DoNotOptimize(model->rows(Pane::updates).size());
    benchmark::DoNotOptimize(model->rows(Pane::allApps).size());
  }
}
BENCHMARK(BM_DerivedAfterStateChange)->Unit(benchmark::kMillisecond);

// The check benchmarks' apps and server, every answer saved and fresh.
struct SavedAnswersSetup {
  test::TempDir tmp;
  bench::CheckServer check;
  const std::vector<InstalledApp>& apps = check.apps;
  const ServiceHosts& hosts = check.hosts;

  SavedAnswersSetup() {
    UpdateChecker(*bench::unspacedFetcher(tmp.path() / "http"), nullptr, tmp.path(), hosts)
        .check(apps, options21600());
  }
  static CheckOptions options21600() { return {std::chrono::hours(6), "us", "15.1.0", 4}; }
};

void BM_KitCheckOnSavedAnswers(benchmark::State& state) {
  SavedAnswersSetup setup;
  auto fetcher = bench::unspacedFetcher(setup.tmp.path() / "http");
  UpdateChecker checker(*fetcher, nullptr, setup.tmp.path(), setup.hosts);
  for (auto _ : state) benchmark::DoNotOptimize(checker.check(setup.apps, setup.options21600()));
}
BENCHMARK(BM_KitCheckOnSavedAnswers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ModelCheckOnSavedAnswers(benchmark::State& state) {
  SavedAnswersSetup setup;
  ensureApplication();
  test::Fakes fakes;
  fakes.folders = {setup.tmp.path(), setup.tmp.path()};
  fakes.scanner->setApps(setup.apps);
  AppServices services = fakes.services();
  KitUpdateChecking::Options options;
  options.hosts = setup.hosts;
  options.findBrew = [] { return std::nullopt; };
  options.spacing = {};
  services.checker = std::make_shared<KitUpdateChecking>(fakes.folders, options);
  services.store = std::make_shared<NullStore>();
  AppModel model(services);
  for (auto _ : state) {
    if (!test::waitFor(model.check(AppModel::kScheduledMaxAge))) state.SkipWithError("hung");
  }
}
BENCHMARK(BM_ModelCheckOnSavedAnswers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace larkvale
