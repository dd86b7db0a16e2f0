// The main window with every screen over a last report of 3,000 apps, against
// a floor measured in the same run: a bare QTableView of the window's size
// over a minimal model that holds the very display texts the real pane shows.
// Each round times the real step, then the floor's (both up to a finished
// repaint, offscreen); the counters are medians, `ratio` the median of the
// rounds' real over floor.
//   populate      the report replacing an empty one (All Apps), handed to the
//                 model as loading the state file hands it: a new value,
//                 moved in (made before the round, as the floor's texts are);
//   switchTo/N    switching to pane N from Updates (from All Apps for N=0);
//                 its floor switches between two filled tables;
//   updatesAllApps  Updates ↔ All Apps, both ways, with the same floor;
//   search        one keystroke typed into the search field: "App 12" typed
//                 key by key, then deleted key by key; its floor takes the
//                 same key in a bare line edit and shows that text's rows;
//   scroll        one page down or up in All Apps.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QAbstractTableModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>

#include "Pennant/view/MoreAppsWindow.h"
#include "app/screens/ScreenTable.h"
#include "app/window/MainWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "bench/support/WidgetBench.h"
#include "tests/support/FakeServices.h"

using namespace larkvale;

namespace {

using Texts = std::vector<QStringList>;  // rows of display texts

// The least a table model can be: display texts, reset all at once.
class FloorModel : public QAbstractTableModel {
 public:
  void setRows(const Texts& rows, int columns) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : columns_;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    const QStringList& row = rows_[static_cast<size_t>(index.row())];
    return index.column() < row.size() ? row[index.column()] : QString();
  }

 private:
  Texts rows_;
  int columns_ = 0;
};

// Two pages already filled, as a pane switch's floor: showing a built page.
struct FloorPages {
  QStackedWidget stack;
  FloorModel models[2];
  QTableView tables[2];

  explicit FloorPages(const std::pair<Texts, int> (&texts)[2]) {
    for (int i : {0, 1}) {
      models[i].setRows(texts[i].first, texts[i].second);
      tables[i].setModel(&models[i]);
      stack.addWidget(&tables[i]);
    }
    stack.resize(MainWindow::kDefaultSize);
    stack.show();
  }
  ~FloorPages() {
    for (auto& table : tables) stack.removeWidget(&table);
  }
  void show(int page) {
    stack.setCurrentIndex(page);
    QCoreApplication::processEvents();
    stack.repaint();
  }
};

AppState bigState() {
  AppState state = bench::bigReportState(3000);
  for (int i = 0; i < 3000; i += 30) state.skipped["com.example.app" + std::to_string(i)] = "2.0";
  return state;
}

pennant::MoreAppsLoader offlineLoader() {
  pennant::MoreAppsLoader loader;
  loader.feedURL = "http://127.0.0.1:9/more-apps.json";
  loader.transport = [](const HttpRequest&) -> HttpResponse {
    throw std::runtime_error("offline");
  };
  return loader;
}

struct Rig {
  test::Fakes fakes;
  AppModel model{fakes.services()};
  pennant::MoreAppsCatalogue catalogue{moreAppsConfig(), offlineLoader(), moreAppsHooks()};
  std::unique_ptr<MainWindow> window;
  FloorModel floorModel;
  QTableView floor;
  const AppState empty = bench::bigReportState(0);
  const AppState big = bigState();

  Rig() {
    model.setState(big);
    Screens screens;
    registerScreens(screens, catalogue);
    window = std::make_unique<MainWindow>(model, screens);
    window->show();
    floor.setModel(&floorModel);
    floor.resize(MainWindow::kDefaultSize);
    floor.show();
    for (Pane pane : Panes::all) model.setPane(pane);  // every page built once
    settle();
  }

  static void settle() { QCoreApplication::processEvents(); }
  void paintReal() {
    settle();
    window->repaint();
  }
  void paintFloor() {
    settle();
    floor.repaint();
  }

  // The list the current pane shows, when it has one.
  QAbstractItemView* shownList() const {
    QAbstractItemView* best = nullptr;
    for (auto* view : window->findChildren<QAbstractItemView*>())
      if (view->isVisible() && view->model() &&
          (!best || view->model()->rowCount() > best->model()->rowCount()))
        best = view;
    return best;
  }
  std::pair<Texts, int> shownTexts() {
    settle();
    Texts rows;
    QAbstractItemView* view = shownList();
    if (!view) return {rows, 0};
    QAbstractItemModel* m = view->model();
    for (int r = 0; r < m->rowCount(); ++r) {
      QStringList row;
      for (int c = 0; c < m->columnCount(); ++c) row << m->index(r, c).data().toString();
      rows.push_back(row);
    }
    return {rows, m->columnCount()};
  }
  void showFloor(const std::pair<Texts, int>& texts) {
    floorModel.setRows(texts.first, texts.second);
  }
};

Rig& rig() {
  static Rig* made = [] {
    if (!bench::ensureWidgetApplication()) qFatal("the main window bench needs a QApplication");
    return new Rig;
  }();
  return *made;
}

double millisOf(const std::function<void()>& step) {
  auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Per round: `prepare` (not timed), the real step, the floor's step.
void sideBySide(benchmark::State& bench, const std::function<void(int round)>& prepare,
                const std::function<void(int round)>& real,
                const std::function<void(int round)>& floor) {
  std::vector<double> reals, floors;
  int round = 0;
  for (auto _ : bench) {
    prepare(round);
    double r = millisOf([&] { real(round); });
    floors.push_back(millisOf([&] { floor(round); }));
    reals.push_back(r);
    bench.SetIterationTime(r / 1000);
    ++round;
  }
  std::vector<double> ratios;
  for (size_t i = 0; i < reals.size(); ++i)
    if (floors[i] > 0) ratios.push_back(reals[i] / floors[i]);
  bench.counters["real_ms"] = median(reals);
  bench.counters["floor_ms"] = median(floors);
  bench.counters["ratio"] = median(ratios);
}

void populate(benchmark::State& bench) {
  Rig& s = rig();
  s.model.setPane(Pane::allApps);
  const auto full = s.shownTexts();
  AppState next;
  sideBySide(
      bench,
      [&](int) {
        s.model.setState(s.empty);
        s.paintReal();
        s.showFloor({{}, full.second});
        s.paintFloor();
        next = s.big;
      },
      [&](int) {
        s.model.setState(std::move(next));
        s.paintReal();
      },
      [&](int) {
        s.showFloor(full);
        s.paintFloor();
      });
}
BENCHMARK(populate)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

void switchTo(benchmark::State& bench) {
  Rig& s = rig();
  const Pane to = Panes::all[static_cast<size_t>(bench.range(0))];
  const Pane from = to == Pane::updates ? Pane::allApps : Pane::updates;
  std::pair<Texts, int> texts[2];
  s.model.setPane(from);
  texts[0] = s.shownTexts();
  s.model.setPane(to);
  texts[1] = s.shownTexts();
  FloorPages floor(texts);
  sideBySide(
      bench,
      [&](int) {
        s.model.setPane(from);
        s.paintReal();
        floor.show(0);
      },
      [&](int) {
        s.model.setPane(to);
        s.paintReal();
      },
      [&](int) { floor.show(1); });
}
BENCHMARK(switchTo)
    ->DenseRange(0, Panes::all.size() - 1)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void updatesAllApps(benchmark::State& bench) {
  Rig& s = rig();
  const Pane panes[2] = {Pane::updates, Pane::allApps};
  std::pair<Texts, int> texts[2];
  for (int i : {0, 1}) {
    s.model.setPane(panes[i]);
    texts[i] = s.shownTexts();
  }
  FloorPages floor(texts);
  sideBySide(
      bench, [](int) {},
      [&](int round) {
        s.model.setPane(panes[round % 2]);
        s.paintReal();
      },
      [&](int round) { floor.show(round % 2); });
}
BENCHMARK(updatesAllApps)->Iterations(16)->UseManualTime()->Unit(benchmark::kMillisecond);

// The key of each keystroke in turn: "App 12" typed, then deleted.
QKeyEvent keystroke(int round) {
  static const QString typed = QStringLiteral("App 12");
  const int step = round % (2 * typed.size());
  if (step >= typed.size()) return {QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier};
  const QChar key = typed[step];
  // Qt's key codes for letters, digits and space are their upper-case ASCII.
  return {QEvent::KeyPress, static_cast<int>(key.toUpper().unicode()),
          key.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(key)};
}

void search(benchmark::State& bench) {
  Rig& s = rig();
  s.model.setPane(Pane::allApps);
  auto* field = s.window->findChild<QLineEdit*>(QStringLiteral("search"));
  if (!field) qFatal("the main window has no search field");
  QLineEdit floorField;
  floorField.show();
  // The rows each text of the field shows, as the floor's answers.
  std::map<QString, std::pair<Texts, int>> texts;
  const QString typed = QStringLiteral("App 12");
  for (qsizetype length = 0; length <= typed.size(); ++length) {
    s.model.setSearch(typed.left(length));
    texts[typed.left(length)] = s.shownTexts();
  }
  s.model.setSearch({});
  s.paintReal();
  auto type = [](QLineEdit* into, int round) {
    QKeyEvent key = keystroke(round);
    QCoreApplication::sendEvent(into, &key);
  };
  sideBySide(
      bench, [](int) {},
      [&](int round) {
        type(field, round);
        s.paintReal();
      },
      [&](int round) {
        type(&floorField, round);
        s.showFloor(texts[floorField.text()]);
        floorField.repaint();
        s.paintFloor();
      });
  s.model.setSearch({});
}
BENCHMARK(search)->Iterations(24)->UseManualTime()->Unit(benchmark::kMillisecond);

void scroll(benchmark::State& bench) {
  Rig& s = rig();
  s.model.setPane(Pane::allApps);
  s.showFloor(s.shownTexts());
  QAbstractItemView* list = s.shownList();
  auto step = [](QAbstractItemView* view, int round) {
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(round % 2 ? 0 : bar->pageStep());
  };
  sideBySide(
      bench, [](int) {},
      [&](int round) {
        step(list, round);
        s.paintReal();
      },
      [&](int round) {
        step(&s.floor, round);
        s.paintFloor();
      });
}
BENCHMARK(scroll)->Iterations(16)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
