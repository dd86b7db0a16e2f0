// The main window frame in the states a user meets first: empty, updates
// waiting, a great many updates, and an error notice. The screens are not
// handed in, so each pane shows the placeholder that names it.
#include "app/ui/MainWindow.h"
#include "tools/screenshots/Registry.h"

namespace larkvale::screenshots {
namespace {

AppUpdate sample(int i, bool waiting) {
  AppUpdate u;
  u.app.name = "Sample App " + std::to_string(i);
  u.app.path = "/Applications/" + u.app.name + ".app";
  u.app.bundleID = "com.example.sample" + std::to_string(i);
  u.app.version = "1.0";
  u.source = UpdateSource::homebrew("sample-" + std::to_string(i));
  u.status = waiting ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
  if (waiting) u.latestVersion = "2.0";
  return u;
}

AppState checked(int apps, int everyNthWaits) {
  AppState state;
  CheckReport report;
  for (int i = 0; i < apps; ++i) report.updates.push_back(sample(i, i % everyNthWaits == 0));
  state.lastReport = report;
  state.holds["com.example.sample0"] = Hold{"Waits for plug-ins", Date{}};
  return state;
}

// The window owns its model, so the renderer's deleting the window is all.
QWidget* window(const std::optional<AppState>& state, const OptionalNotice& notice,
                Pane pane = Pane::updates) {
  auto* model = new AppModel(AppServices{});
  if (state) model->setState(*state);
  model->setNotice(notice);
  model->setPane(pane);
  auto* shown = new MainWindow(*model, Screens{});
  model->setParent(shown);
  return shown;
}

const Registration shots("window", [](const Add& add) {
  const QSize size = MainWindow::kDefaultSize;
  add(
      "empty", [](const Context&) { return window(std::nullopt, std::nullopt); }, size);
  add(
      "updates-waiting",
      [](const Context&) {
        return window(checked(12, 4), Notice{"Checked 12 apps. 2 updates waiting.", false});
      },
      size);
  add(
      "many-updates",
      [](const Context&) {
        return window(checked(3000, 2), Notice{"Checked 3000 apps. 1499 updates waiting.", false},
                      Pane::held);
      },
      size);
  add(
      "error-notice",
      [](const Context&) {
        return window(checked(12, 4),
                      Notice{"Couldn't save settings: No space left on device. The change stays "
                             "until the app quits; free some space and change a setting again to "
                             "keep it.",
                             true},
                      Pane::history);
      },
      size);
});

}  // namespace
}  // namespace larkvale::screenshots
