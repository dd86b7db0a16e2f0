#pragma once
// What the app's screen tests share: a model over the fakes of every
// service in fresh folders.
#include <memory>

#include "app/model/AppModel.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

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
