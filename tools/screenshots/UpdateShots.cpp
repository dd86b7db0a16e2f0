// The update panes: the welcome page, the Updates pane with a Sparkle, a
// Homebrew and a GitHub update selected, All Apps with many rows, Skipped &
// Held, and the hold sheet.
#include <QVBoxLayout>

#include "app/screens/ScreenTable.h"
#include "app/screens/updates/HoldSheet.h"
#include "app/screens/updates/UpdatesPane.h"
#include "app/window/MainWindow.h"
#include "tools/screenshots/ShotScenes.h"

namespace larkvale::screenshots {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const Date kNow = std::chrono::system_clock::now();

// The models of these shots tell times against the moment the samples were
// made at.
AppServices shotServices() {
  auto clock = std::make_shared<test::FakeClock>();
  clock->current = kNow;
  AppServices services;
  services.clock = clock;
  return services;
}

struct Sample {
  std::string name;
  std::string version;
  UpdateSource source;
  UpdateStatus status;
  std::optional<std::string> latest;
  QColor colour;
};

AppUpdate make(const Context& context, const Sample& s) {
  AppUpdate u;
  u.app.path = drawnBundle(context.scratch / "Applications", s.name, s.colour).string();
  u.app.name = s.name;
  u.app.bundleID = "com.example." + s.name.substr(0, s.name.find(' '));
  u.app.version = u.app.build = s.version;
  u.source = s.source;
  u.status = s.status;
  u.latestVersion = s.latest;
  if (u.hasUpdate()) u.released = kNow - 72h;
  return u;
}

AppState sampleState(const Context& context, int extra) {
  const auto waiting = UpdateStatus::updateAvailable();
  const auto current = UpdateStatus::upToDate();
  std::vector<Sample> samples = {
      {"Cartograph", "4.2.1", UpdateSource::sparkle("https://cartograph.example/appcast.xml"),
       waiting, "4.3", QColor(0x5e, 0x5c, 0xe6)},
      {"Brewmaster", "1.8", UpdateSource::homebrew("brewmaster"), waiting, "1.9.2",
       QColor(0xff, 0x95, 0x00)},
      {"Quillpad", "2.0.3", UpdateSource::homebrew("quillpad"), waiting, "2.1.0",
       QColor(0x34, 0xc7, 0x59)},
      {"Gitbeam", "0.9.4", UpdateSource::github("gitbeam/gitbeam"), waiting, "0.10.0",
       QColor(0x1c, 0x1c, 0x1e)},
      {"Tesselate", "3.1", UpdateSource::sparkle("https://tesselate.example/feed.xml"), waiting,
       "3.2", QColor(0xaf, 0x52, 0xde)},
      {"Lumen Notes", "12.4", UpdateSource::appStore(), current, "12.4", QColor(0xff, 0xcc, 0x00)},
      {"Harbour", "5.0.2", UpdateSource::sparkle("https://harbour.example/cast.xml"),
       UpdateStatus::notChecked("The feed answered with HTTP 503."), std::nullopt,
       QColor(0x00, 0x7a, 0xff)},
      {"Safari", "18.1", UpdateSource::apple(), UpdateStatus::noSource(), std::nullopt,
       QColor(0x32, 0xad, 0xe6)},
      {"Old Ledger", "2.2", UpdateSource::unknown(), UpdateStatus::noSource(), std::nullopt,
       QColor(0xa2, 0x84, 0x5e)},
      {"Waveform Pro", "9.0", UpdateSource::sparkle("https://waveform.example/appcast.xml"),
       waiting, "10.0", QColor(0xff, 0x2d, 0x55)},
      {"Pixelkit", "1.4", UpdateSource::homebrew("pixelkit"), waiting, "1.5",
       QColor(0x30, 0xb0, 0xc7)},
  };
  for (int i = 0; i < extra; ++i) {
    samples.push_back({"Utility " + std::to_string(i + 1), "1." + std::to_string(i),
                       i % 3 ? UpdateSource::homebrew("utility-" + std::to_string(i))
                             : UpdateSource::sparkle("https://utility.example/cast.xml"),
                       i % 4 ? current : waiting, "1." + std::to_string(i + (i % 4 ? 0 : 1)),
                       QColor::fromHsv((i * 37) % 360, 160, 200)});
  }
  CheckReport report{kNow - 2h, {}, true, {}};
  for (const Sample& s : samples) report.updates.push_back(make(context, s));
  AppUpdate& sparkle = report.updates[0];
  sparkle.critical = true;
  sparkle.notesURL = "https://cartograph.example/notes/4.3";
  sparkle.downloadURL = "https://cartograph.example/Cartograph-4.3.zip";
  sparkle.notes =
      "Cartograph 4.3\n\n• Offline maps load twice as fast.\n• New: export a route as GPX.\n"
      "• Fixed a crash when a layer had no name.";
  report.updates[1].caskAutoUpdates = true;
  AppUpdate& github = report.updates[3];
  github.app.selfUpdater = "Sparkle";
  github.notesURL = "https://github.com/gitbeam/gitbeam/releases/tag/v0.10.0";
  github.downloadURL = "https://github.com/gitbeam/gitbeam/releases/download/v0.10.0/Gitbeam.dmg";
  github.notes = "## What's changed\n- Faster diffs on large repositories\n- Dark mode fixes";
  report.updates[5].storeTrackID = 1234567890;
  report.updates[6].remark = "Checked through its feed; the app also names a Homebrew cask.";

  AppState state;
  state.lastReport = report;
  state.skipped["com.example.Tesselate"] = "3.2";
  state.holds["com.example.Waveform"] =
      Hold{"Plug-ins aren't ready for version 10 yet.", kNow - 24h * 9};
  return state;
}

// A pane over its own model; the pane goes before the model does.
class Host : public QWidget {
 public:
  Host(AppState state, Pane pane, std::optional<std::string> selected) {
    model_.setState(state);
    model_.setPane(pane);
    if (selected) {
      for (const AppUpdate& u : state.lastReport->updates) {
        if (u.app.name == *selected) model_.setSelection(QString::fromStdString(u.app.path));
      }
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new UpdatesPane(model_, this));
  }
  ~Host() override { qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly)); }

 private:
  AppModel model_{shotServices()};
};

QWidget* welcome(const Context&) {
  return new Host(AppState{}, Pane::updates, std::nullopt);
}

auto selected(Pane pane, std::optional<std::string> name, int extra = 0) {
  return [pane, name, extra](const Context& context) -> QWidget* {
    return new Host(sampleState(context, extra), pane, name);
  };
}

// The whole main window with these screens in it; the window owns its model.
// The small variant shows a notice and an app with a very long name.
QWidget* windowShot(const Context& context, bool small) {
  auto* model = new AppModel(shotServices());
  AppState state = sampleState(context, small ? 30 : 0);
  if (small) {
    state.lastReport->updates[0].app.name =
        "Cartograph Professional Edition for Cartographers, Surveyors and Very Patient Walkers";
  }
  model->setState(state);
  model->setSelection(QString::fromStdString(state.lastReport->updates[0].app.path));
  if (small) {
    model->setNotice(
        Notice{"4 updates waiting. Brewmaster, Quillpad, Gitbeam and Pixelkit can be "
               "handed off from here.",
               false});
  }
  auto* scene = new Scene(context);
  Screens screens;
  registerScreens(screens, *scene->catalogue);
  auto* shown = new MainWindow(*model, screens);
  model->setParent(shown);
  return owning(shown, scene);
}

QWidget* mainWindow(const Context& context) {
  return windowShot(context, false);
}

QWidget* holdSheet(const Context& context) {
  static AppModel* const model = new AppModel(shotServices());
  AppState state = sampleState(context, 0);
  return new HoldSheet(state.lastReport->updates[0], *model);
}

const Registration shots("updates", [](const Add& add) {
  const QSize window(900, 740);
  add("welcome", welcome, window);
  add("sparkle", selected(Pane::updates, "Cartograph"), window);
  add("homebrew", selected(Pane::updates, "Brewmaster"), window);
  add("github", selected(Pane::updates, "Gitbeam"), window);
  add("all-apps", selected(Pane::allApps, "Harbour", 40), window);
  add("held", selected(Pane::held, "Waveform Pro"), window);
  add("hold-sheet", holdSheet, {});
  add("window", mainWindow, MainWindow::kDefaultSize);
  add(
      "window-small", [](const Context& c) { return windowShot(c, true); }, QSize(900, 600));
});

}  // namespace
}  // namespace larkvale::screenshots
