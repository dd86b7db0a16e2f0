// The update table on screen: handing the table model 3,000 rows (the reset
// a new report or a search causes) up to the table's first paint, on the
// offscreen platform. The target is well under 30 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableView>

#include "app/screens/updates/UpdateList.h"
#include "app/screens/updates/UpdateTableModel.h"

using namespace larkvale;

namespace {

// Widgets need a QApplication; another benchmark may have made a plain
// core application first.
bool ensureApplication() {
  if (QCoreApplication::instance())
    return qobject_cast<QApplication*>(QCoreApplication::instance());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "larkvale_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  return true;
}

AppState bigState(int count) {
  CheckReport report;
  report.date = std::chrono::system_clock::now();
  for (int i = 0; i < count; ++i) {
    AppUpdate u;
    u.app.path = "/Applications/App " + std::to_string(i) + ".app";
    u.app.name = "App " + std::to_string(i);
    u.app.bundleID = "com.example.app" + std::to_string(i);
    u.app.version = "1.0";
    u.source = i % 2 ? UpdateSource::homebrew("app-" + std::to_string(i))
                     : UpdateSource::sparkle("https://example.com/" + std::to_string(i));
    u.status = i % 3 == 0 ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
    u.latestVersion = i % 3 == 0 ? "2.0" : "1.0";
    u.released = report.date;
    report.updates.push_back(std::move(u));
  }
  AppState state;
  state.lastReport = std::move(report);
  return state;
}

void BM_UpdateTableResetAndPaint(benchmark::State& bench) {
  if (!ensureApplication()) {
    bench.SkipWithError("needs a QApplication; run this benchmark on its own");
    return;
  }
  AppModel model{AppServices{}};
  model.setState(bigState(3000));
  model.setPane(Pane::allApps);
  UpdateList list(model);
  list.resize(1000, 600);
  list.show();
  QCoreApplication::processEvents();
  const std::vector<AppUpdate> rows = model.rows(Pane::allApps);
  std::vector<AppUpdate> reversed(rows.rbegin(), rows.rend());
  QTableView* table = list.table();
  QImage image(table->size(), QImage::Format_ARGB32_Premultiplied);
  bool flip = false;
  for (auto _ : bench) {
    list.tableModel()->setRows((flip = !flip) ? reversed : rows, model.state());
    QPainter painter(&image);
    table->render(&painter);
  }
}
BENCHMARK(BM_UpdateTableResetAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace
