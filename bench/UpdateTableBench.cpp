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
#include "bench/support/WidgetBench.h"

using namespace larkvale;

namespace {

void BM_UpdateTableResetAndPaint(benchmark::State& bench) {
  if (!bench::ensureWidgetApplication()) {
    bench.SkipWithError("needs a QApplication; run this benchmark on its own");
    return;
  }
  AppModel model{AppServices{}};
  model.setState(bench::bigReportState(3000));
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
