// The History pane with a full history (300 entries on 300 days): built and
// shown in a window-sized scroll area, and narrowed by a search keystroke.
// Target: shown in under 30 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollArea>
#include <QVBoxLayout>

#include <memory>

#include "app/model/AppModel.h"
#include "app/screens/updates/HistoryView.h"
#include "bench/support/WidgetBench.h"

namespace {

using namespace larkvale;

AppState fullHistory() {
  AppState state;
  const Date now{std::chrono::seconds(1'800'000'000)};
  for (int i = 0; i < 300; ++i) {
    std::string name = "Application " + std::to_string(i % 40);
    state.history.push_back({now - std::chrono::hours(24 * i), name, "com.example.app" + name,
                             "1." + std::to_string(i), "1." + std::to_string(i + 1),
                             "Homebrew cask"});
  }
  return state;
}

// The pane as the window hosts it, shown and painted once.
void showInWindow(AppModel& model) {
  QScrollArea scroll;
  scroll.setWidgetResizable(true);
  auto* host = new QWidget;
  auto* layout = new QVBoxLayout(host);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->addWidget(new HistoryView(model, host));
  layout->addStretch(1);
  scroll.setWidget(host);
  scroll.resize(900, 700);
  scroll.show();
  benchmark::DoNotOptimize(scroll.grab());
}

void BM_HistoryShown(benchmark::State& state) {
  bench::ensureWidgetApplication();
  AppModel model(AppServices{});
  model.setState(fullHistory());
  for (auto _ : state) showInWindow(model);
}
BENCHMARK(BM_HistoryShown)->Unit(benchmark::kMillisecond);

void BM_HistorySearchKeystroke(benchmark::State& state) {
  bench::ensureWidgetApplication();
  AppModel model(AppServices{});
  model.setState(fullHistory());
  HistoryView view(model);
  view.resize(800, 600);
  view.show();
  bool flip = false;
  for (auto _ : state) {
    model.setSearch((flip = !flip) ? "application 1" : "application");
    benchmark::DoNotOptimize(view.grab());
  }
}
BENCHMARK(BM_HistorySearchKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace
