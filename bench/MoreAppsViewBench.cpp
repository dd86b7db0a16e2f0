// The catalogue on screen: rebuilding the list model when a refresh brings
// a new catalogue, and painting the whole window offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListModel.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "bench/support/WidgetBench.h"
#include "tests/support/TempDir.h"

namespace {

using namespace pennant;

std::vector<MoreAppsEntry> entries(int count, const std::string& suffix) {
  std::vector<MoreAppsEntry> out;
  for (int i = 0; i < count; ++i) {
    std::string id = "app-" + std::to_string(i);
    out.push_back({id, "Name " + std::to_string(i) + suffix,
                   "A line about what the app does, long enough to wrap onto a second line.",
                   "square.grid.2x2.fill", "indigo", "https://maker.example/mac/" + id,
                   "com.maker." + id, std::nullopt});
  }
  return out;
}

MoreAppsList makeList(const larkvale::test::TempDir& temp) {
  return MoreAppsList(MoreAppsConfig("larkvale", std::nullopt, true, std::nullopt, false),
                      MoreAppsLoader{.cacheDirectory = temp.path(), .bundled = {}}, nullptr);
}

void BM_MoreAppsModelReset(benchmark::State& state) {
  larkvale::bench::ensureWidgetApplication();
  larkvale::test::TempDir temp;
  MoreAppsList list = makeList(temp);
  MoreAppsListModel model(&list, "en");
  const auto first = entries(60, "");
  const auto second = entries(60, "b");
  bool flip = false;
  for (auto _ : state) {
    list.setApps((flip = !flip) ? first : second, MoreAppsSource::network);
    benchmark::DoNotOptimize(model.rowCount());
  }
}
BENCHMARK(BM_MoreAppsModelReset);

void BM_MoreAppsPaintWindow(benchmark::State& state) {
  larkvale::bench::ensureWidgetApplication();
  larkvale::test::TempDir temp;
  MoreAppsList list = makeList(temp);
  list.setApps(entries(static_cast<int>(state.range(0)), ""), MoreAppsSource::bundled);
  MoreAppsWindow window(new MoreAppsListView(&list, MoreAppsHooks{}, "en"));
  window.show();
  QCoreApplication::processEvents();
  QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    window.render(&painter);
  }
}
BENCHMARK(BM_MoreAppsPaintWindow)->Arg(4)->Arg(60);

}  // namespace
