// The main window's speed: switching panes with a large last report behind
// the badges, and resetting a 3,000-row table (standing for the update list)
// up to its first paint, both on the offscreen platform. Each should stay
// well under 30 ms.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QTableView>

#include "app/ui/MainWindow.h"

using namespace larkvale;

namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "larkvale_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

AppState bigState(int count) {
  CheckReport report;
  for (int i = 0; i < count; ++i) {
    AppUpdate u;
    u.app.path = "/Applications/App " + std::to_string(i) + ".app";
    u.app.name = "App " + std::to_string(i);
    u.app.bundleID = "com.example.app" + std::to_string(i);
    u.app.version = "1.0";
    u.source = UpdateSource::homebrew("app-" + std::to_string(i));
    u.status = i % 3 == 0 ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
    if (u.hasUpdate()) u.latestVersion = "2.0";
    report.updates.push_back(std::move(u));
  }
  AppState state;
  state.lastReport = std::move(report);
  for (int i = 0; i < count; i += 30) state.skipped["com.example.app" + std::to_string(i)] = "2.0";
  return state;
}

void switchPanes(benchmark::State& bench) {
  application();
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

class Rows : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 5;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return QStringLiteral("App %1 · %2").arg(index.row() + generation_).arg(index.column());
  }
  void reset(int rows) {
    beginResetModel();
    rows_ = rows;
    ++generation_;
    endResetModel();
  }

 private:
  int rows_ = 0;
  int generation_ = 0;
};

void resetList(benchmark::State& bench) {
  application();
  Rows rows;
  QTableView view;
  view.setModel(&rows);
  view.resize(900, 600);
  view.show();
  QApplication::processEvents();
  for (auto _ : bench) {
    rows.reset(3000);
    view.repaint();
  }
}
BENCHMARK(resetList)->Unit(benchmark::kMillisecond);

}  // namespace
