#pragma once
// Shared by the window frame's tests: a model with no outside services, and
// check results built in memory.
#include <QDialog>
#include <string>

#include "app/model/AppModel.h"
#include "app/ui/Screens.h"

namespace larkvale::test {

inline AppUpdate update(const std::string& name,
                        UpdateStatus status = UpdateStatus::updateAvailable()) {
  AppUpdate u;
  u.app.path = "/Applications/" + name + ".app";
  u.app.name = name;
  u.app.bundleID = "com.example." + name;
  u.app.version = "1.0";
  u.app.build = "1.0";
  u.source = UpdateSource::sparkle("https://example.com/" + name + ".xml");
  u.status = std::move(status);
  if (u.hasUpdate()) u.latestVersion = "2.0";
  return u;
}

inline AppState stateWith(std::vector<AppUpdate> updates) {
  AppState state;
  CheckReport report;
  report.date = Date{} + std::chrono::hours(24 * 365 * 56);
  report.updates = std::move(updates);
  state.lastReport = std::move(report);
  return state;
}

// Screens whose factories build plain widgets and dialogs named after what
// they stand for, counting how often each pane is built.
struct TestScreens {
  std::map<Pane, int> built;

  Screens screens() {
    Screens s;
    s.pane = [this](Pane pane, AppModel&, QWidget* parent) {
      ++built[pane];
      auto* page = new QWidget(parent);
      page->setObjectName(QStringLiteral("screen-") + QLatin1String(Panes::rawValue(pane)));
      return page;
    };
    s.holdSheet = [](const AppUpdate& update, AppModel&, QWidget* parent) {
      auto* sheet = new QDialog(parent);
      sheet->setObjectName(QStringLiteral("holdSheet"));
      sheet->setWindowTitle(QString::fromStdString(update.app.name));
      return sheet;
    };
    s.safeSheet = [](AppModel&, QWidget* parent) {
      auto* sheet = new QDialog(parent);
      sheet->setObjectName(QStringLiteral("safeSheet"));
      return sheet;
    };
    return s;
  }
};

}  // namespace larkvale::test
