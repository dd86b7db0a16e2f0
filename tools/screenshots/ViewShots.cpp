// The "Update All That Are Safe" sheet in each of its states, Settings with
// notifications refused and the login item on, History empty and with a
// year of entries, and the help window. The model runs over the test fakes,
// driven through its own operations.
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/screens/updates/HelpView.h"
#include "app/screens/updates/HistoryView.h"
#include "app/screens/updates/SafeUpdatesSheet.h"
#include "app/screens/updates/SettingsPane.h"
#include "tests/support/FutureWait.h"
#include "tools/screenshots/ShotScenes.h"

namespace larkvale::screenshots {
namespace {

AppUpdate waiting(const std::string& name, UpdateSource source, const std::string& from,
                  std::optional<std::string> to) {
  AppUpdate u;
  u.app.path = "/Applications/" + name + ".app";
  u.app.name = name;
  u.app.bundleID = "com.example." + name;
  u.app.version = u.app.build = from;
  u.source = std::move(source);
  u.status = UpdateStatus::updateAvailable();
  u.latestVersion = std::move(to);
  return u;
}

std::vector<AppUpdate> waitingUpdates() {
  auto feed = [](const std::string& name) {
    return UpdateSource::sparkle("https://example.com/" + name + "/appcast.xml");
  };
  AppUpdate tower = waiting("Tower", feed("tower"), "11.2", "12.0");
  tower.critical = true;
  AppUpdate iterm = waiting("iTerm", UpdateSource::homebrew("iterm2"), "3.5.4", "3.5.10");
  iterm.caskAutoUpdates = true;
  return {tower,
          waiting("Acorn", feed("acorn"), "7.4.5", "8.0"),
          waiting("Transmit", feed("transmit"), "5.10.4", std::nullopt),
          iterm,
          waiting("Rectangle", UpdateSource::homebrew("rectangle"), "0.84", "0.85"),
          waiting("Keynote", UpdateSource::appStore(), "14.1", "14.2"),
          waiting("Hugo Desktop", UpdateSource::github("example/hugo-desktop"), "0.9", "1.0")};
}

Scene* withReport(const Context& context) {
  auto* scene = new Scene(context);
  AppState state;
  state.lastReport = CheckReport{scene->fakes.clock->now(), waitingUpdates(), true, {}};
  scene->model->setState(state);
  scene->model->startSafeUpdates();
  return scene;
}

QWidget* sheet(const Context& context, int forward, bool failNext) {
  Scene* scene = withReport(context);
  AppModel& model = *scene->model;
  model.setSafeChosen("/Applications/Rectangle.app", false);
  if (forward >= 0) test::waitFor(model.startSafeRun());
  for (int step = 0; step < forward; ++step) {
    if (failNext && step + 1 == forward) {
      scene->fakes.menuPress->setNext(MenuPressResult::failed("The application can't be opened."));
    }
    test::waitFor(model.advanceSafeRun());
  }
  return owning(new SafeUpdatesSheet(model), scene);
}

// The pane padded 24 px, `width` wide and as tall as its wrapped texts need
// at that width.
QWidget* padded(QWidget* pane, Scene* scene, int width) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(24, 24, 24, 24);
  pane->setParent(page);
  layout->addWidget(pane);
  layout->addStretch(1);
  page->setFixedSize(width, page->heightForWidth(width));
  return owning(page, scene);
}

// The pane as the main window shows it: in a scroll area, padded 24 px.
QWidget* inWindow(QWidget* pane, Scene* scene) {
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* host = new QWidget;
  auto* layout = new QVBoxLayout(host);
  layout->setContentsMargins(24, 24, 24, 24);
  pane->setParent(host);
  layout->addWidget(pane);
  layout->addStretch(1);
  scroll->setWidget(host);
  return owning(scroll, scene);
}

QWidget* settings(const Context& context) {
  auto* scene = new Scene(context);
  scene->fakes.notifications->nextAnswer = false;
  scene->fakes.loginItem->enabled = true;
  AppState state;
  state.lastReport = CheckReport{scene->fakes.clock->now(), {}, true, {}};
  scene->model->setState(state);
  scene->model->refreshPermissions();
  test::waitFor(scene->model->setWeeklyNotice(true));
  return padded(new SettingsPane(*scene->model, *scene->catalogue), scene, 880);
}

QWidget* history(const Context& context, int entries) {
  auto* scene = new Scene(context);
  const char* names[] = {"Tower", "Acorn", "iTerm", "Rectangle", "Visual Studio Code", "Firefox"};
  const char* sources[] = {"Sparkle feed",  "Sparkle feed",  "Homebrew cask",
                           "Homebrew cask", "Homebrew cask", "GitHub releases"};
  AppState state;
  const Date now = scene->fakes.clock->now();
  for (int i = 0; i < entries; ++i) {
    int app = i % 6;
    // A year back, about one change a day, and two on some days.
    Date date = now - std::chrono::hours(29 * i - (i % 6 == 5 ? 27 : 0));
    state.history.push_back({date, names[app], std::string("com.example.") + names[app],
                             "1." + std::to_string(i / 6), "1." + std::to_string(i / 6 + 1),
                             sources[app]});
  }
  scene->model->setState(state);
  return inWindow(new HistoryView(*scene->model), scene);
}

const Registration shots("updates", [](const Add& add) {
  add("safe-choosing", [](const Context& c) { return sheet(c, -1, false); }, {});
  add("safe-running", [](const Context& c) { return sheet(c, 1, false); }, {});
  add("safe-failed-step", [](const Context& c) { return sheet(c, 2, true); }, {});
  add("safe-finished", [](const Context& c) { return sheet(c, 4, false); }, {});
  add("settings", settings, {});
  add(
      "history-empty", [](const Context& c) { return history(c, 0); }, QSize(880, 600));
  add(
      "history-year", [](const Context& c) { return history(c, 300); }, QSize(880, 740));
  add(
      "help",
      [](const Context& c) {
        auto* scene = new Scene(c);
        return owning(new HelpView(*scene->catalogue), scene);
      },
      QSize(760, 580));
});

}  // namespace
}  // namespace larkvale::screenshots
