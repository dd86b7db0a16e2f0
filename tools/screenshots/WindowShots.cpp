// The main window with its real screens in the states a user meets first:
// before any check, the first check running, updates waiting, a great many
// updates, and an error notice. The model runs over the test fakes.
#include "app/window/MainWindow.h"
#include "tools/screenshots/ShotScenes.h"

namespace larkvale::screenshots {
namespace {

QWidget* checked(const Context& context, int apps, int everyNthWaits, const Notice& notice,
                 Pane pane = Pane::updates) {
  auto* scene = new Scene(context);
  AppState state;
  // The screens say how long ago the check was by the real clock.
  CheckReport report{std::chrono::system_clock::now() - std::chrono::hours(2), {}, true, {}};
  for (int i = 0; i < apps; ++i) report.updates.push_back(sampleUpdate(i, i % everyNthWaits == 0));
  state.lastReport = report;
  state.holds["com.example.sample0"] = Hold{"Waits for plug-ins", report.date};
  scene->model->setState(state);
  scene->model->setNotice(notice);
  scene->model->setPane(pane);
  return scene->window();
}

// The first check, held while the checker asks the sources: the toolbar
// shows its progress and the updates pane its empty list.
QWidget* firstCheck(const Context& context) {
  auto* scene = new Scene(context);
  std::vector<InstalledApp> apps;
  for (int i = 0; i < 12; ++i) apps.push_back(sampleUpdate(i, false).app);
  scene->fakes.scanner->setApps(apps);
  scene->fakes.checker->setProgressScript({{5, 12}});
  scene->fakes.checker->checkGate.arm();
  QWidget* window = scene->window();
  scene->model->check();
  scene->fakes.checker->checkGate.waitUntilHeld();
  return window;
}

const Registration shots("window", [](const Add& add) {
  const QSize size = MainWindow::kDefaultSize;
  add(
      "empty", [](const Context& c) { return (new Scene(c))->window(); }, size);
  add("first-check", firstCheck, size);
  add(
      "updates-waiting",
      [](const Context& c) {
        return checked(c, 12, 4, Notice{"Checked 12 apps. 2 updates waiting.", false});
      },
      size);
  add(
      "no-apps",
      [](const Context& c) {
        return checked(c, 0, 1,
                       Notice{"No app bundles found in /Applications or ~/Applications.", false});
      },
      size);
  add(
      "many-updates",
      [](const Context& c) {
        return checked(c, 3000, 2, Notice{"Checked 3000 apps. 1499 updates waiting.", false},
                       Pane::allApps);
      },
      size);
  add(
      "error-notice",
      [](const Context& c) {
        return checked(c, 12, 4,
                       Notice{"Couldn't save settings: No space left on device. The change stays "
                              "until the app quits; free some space and change a setting again "
                              "to keep it.",
                              true},
                       Pane::history);
      },
      size);
});

}  // namespace
}  // namespace larkvale::screenshots
