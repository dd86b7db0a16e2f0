// The Moving day panes with a large inventory: building the Inventory pane
// over 3,000 apps and the Restore Checklist over 300, up to their first
// paint. The inventory is loaded once, through the model and its fakes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "app/model/AppModel.h"
#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/InventoryPane.h"
#include "bench/support/WidgetBench.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/TempDir.h"

namespace {

using namespace larkvale;

// A model whose inventory holds `count` apps of every kind of source, most
// with a preferences file in a temporary home.
struct LoadedModel {
  explicit LoadedModel(int count) {
    fakes.folders = {temp.mkdir("home"), temp.mkdir("caches")};
    std::vector<AppUpdate> sources;
    for (int i = 0; i < count; ++i) {
      const std::string name = "App " + std::to_string(i);
      AppUpdate u;
      u.app.path = "/Applications/" + name + ".app";
      u.app.name = name;
      u.app.bundleID = "com.example.app" + std::to_string(i);
      u.app.version = u.app.build = "1." + std::to_string(i % 10);
      switch (i % 4) {
        case 0:
          u.source = UpdateSource::homebrew("app-" + std::to_string(i));
          break;
        case 1:
          u.source = UpdateSource::appStore();
          break;
        case 2:
          u.source = UpdateSource::sparkle("https://app" + std::to_string(i) + ".example/f");
          break;
        default:
          u.source = UpdateSource::github("maker/app" + std::to_string(i));
          break;
      }
      if (i % 3 != 0) temp.write("home/Library/Preferences/" + u.app.bundleID + ".plist", "p");
      sources.push_back(std::move(u));
    }
    fakes.checker->setSources(std::move(sources));
    model = std::make_unique<AppModel>(fakes.services());
    test::waitFor(model->loadInventory());
  }

  test::TempDir temp;
  test::Fakes fakes;
  std::unique_ptr<AppModel> model;
};

template <typename Pane>
void showPane(benchmark::State& state) {
  if (!bench::ensureWidgetApplication()) {
    state.SkipWithError("needs a QApplication; run this benchmark on its own");
    return;
  }
  LoadedModel loaded(static_cast<int>(state.range(0)));
  QImage image(900, 700, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    Pane pane(*loaded.model);
    pane.resize(image.size());
    pane.show();
    QPainter painter(&image);
    pane.render(&painter);
  }
  state.counters["apps"] = static_cast<double>(loaded.model->inventory().size());
}

void BM_InventoryPaneShown(benchmark::State& state) {
  showPane<movingday::InventoryPane>(state);
}
BENCHMARK(BM_InventoryPaneShown)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_ChecklistPaneShown(benchmark::State& state) {
  showPane<movingday::ChecklistPane>(state);
}
BENCHMARK(BM_ChecklistPaneShown)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
