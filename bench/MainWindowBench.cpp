// The main window's speed: switching panes with a large last report behind
// the badges, on the offscreen platform; it should stay well under 30 ms.
// (The update table's own reset is UpdateTableBench.)
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/window/MainWindow.h"
#include "bench/support/WidgetBench.h"

using namespace larkvale;

namespace {

AppState bigState(int count) {
  AppState state = bench::bigReportState(count);
  for (int i = 0; i < count; i += 30) state.skipped["com.example.app" + std::to_string(i)] = "2.0";
  return state;
}

void switchPanes(benchmark::State& bench) {
  bench::ensureWidgetApplication();
  AppModel model{AppServices{}};
  model.setState(bigState(3000));
  MainWindow window(model, Screens{});
  window.show();
  QApplication::processEvents();
  for (Pane pane : Panes::all) model.setPane(pane);  // every page built once
  size_t next = 0;
  for (auto _ : bench) {
    model.setPane(Panes::all[next++ % Panes::all.size()]);
    window.repaint();
  }
}
BENCHMARK(switchPanes)->Unit(benchmark::kMillisecond);

}  // namespace
