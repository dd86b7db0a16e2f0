#pragma once
// What the app's screen tests share: a model over the fakes of every
// service in fresh folders, and a builder of updates.
#include <memory>

#include "app/model/AppModel.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

inline AppUpdate update(const std::string& name,
                        UpdateStatus status = UpdateStatus::updateAvailable(),
                        UpdateSource source = UpdateSource::sparkle("https://example.com/f.xml"),
                        std::optional<std::string> latest = "2.0") {
  AppUpdate u;
  u.app.path = "/Applications/" + name + ".app";
  u.app.name = name;
  u.app.bundleID = "com.example." + name;
  u.app.version = u.app.build = "1.0";
  u.source = std::move(source);
  u.status = std::move(status);
  u.latestVersion = std::move(latest);
  return u;
}

struct Rig {
  TempDir tmp;
  Fakes fakes;
  std::unique_ptr<AppModel> model;

  Rig() {
    fakes.folders = {tmp.mkdir("home"), tmp.mkdir("caches")};
    model = std::make_unique<AppModel>(fakes.services());
  }

  // A last report with these updates, dated now on the fake clock.
  void report(std::vector<AppUpdate> updates) {
    AppState state = model->state();
    state.lastReport = CheckReport{fakes.clock->now(), std::move(updates), true, {}};
    model->setState(state);
  }

  void select(const AppUpdate& u) { model->setSelection(QString::fromStdString(u.app.path)); }

  std::string notice() const { return model->notice() ? model->notice()->text : std::string(); }
};

}  // namespace larkvale::test
