#pragma once
// A model over the service fakes in a temporary folder, with builders of
// waiting updates, for the tests of the safe-update sheet and the Settings,
// History and Help screens.
#include <QLabel>
#include <QWidget>

#include <memory>

#include "Pennant/MoreAppsLoader.h"
#include "app/model/AppModel.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

struct ScreensFixture {
  TempDir tmp;
  Fakes fakes;
  std::unique_ptr<AppModel> model;

  ScreensFixture() {
    fakes.folders = {tmp.mkdir("home"), tmp.mkdir("caches")};
    model = std::make_unique<AppModel>(fakes.services());
  }

  // A catalogue that never asks the network.
  std::unique_ptr<ui::MoreAppsCatalogue> catalogue() {
    pennant::MoreAppsConfig config = ui::moreAppsConfig();
    config.allowsNetwork = false;
    return std::make_unique<ui::MoreAppsCatalogue>(
        config, pennant::MoreAppsLoader{.cacheDirectory = tmp.mkdir("catalogue")});
  }

  void setReport(std::vector<AppUpdate> updates) {
    AppState state = model->state();
    state.lastReport = CheckReport{fakes.clock->now(), std::move(updates), true, {}};
    model->setState(state);
  }
};

inline AppUpdate waiting(const std::string& name, UpdateSource source,
                         std::optional<std::string> latest = "2.0") {
  AppUpdate u;
  u.app.path = "/Applications/" + name + ".app";
  u.app.name = name;
  u.app.bundleID = "com.example." + name;
  u.app.version = u.app.build = "1.0";
  u.source = std::move(source);
  u.status = UpdateStatus::updateAvailable();
  u.latestVersion = std::move(latest);
  return u;
}

inline AppUpdate sparkle(const std::string& name, std::optional<std::string> latest = "2.0") {
  return waiting(name, UpdateSource::sparkle("https://example.com/" + name + ".xml"), latest);
}

inline AppUpdate cask(const std::string& name, const std::string& token) {
  return waiting(name, UpdateSource::homebrew(token));
}

template <typename T = QWidget>
T* child(const QObject* root, const QString& name) {
  return root->findChild<T*>(name);
}

inline QString labelText(const QObject* root, const QString& name) {
  auto* label = root->findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

}  // namespace larkvale::test
