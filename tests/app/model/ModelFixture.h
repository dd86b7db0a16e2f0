#pragma once
// A model over fakes in a fresh temporary home and cache folder.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>

#include "app/model/AppModel.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

inline std::vector<std::string> names(const std::vector<AppUpdate>& updates) {
  std::vector<std::string> out;
  for (const auto& u : updates) out.push_back(u.app.name);
  return out;
}

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    fakes.folders = {tmp.mkdir("home"), tmp.mkdir("caches")};
    model = std::make_unique<AppModel>(fakes.services());
  }

  // Fresh fakes and a fresh model over the same folders.
  void remake() {
    Fakes fresh;
    fresh.folders = fakes.folders;
    fakes = fresh;
    model = std::make_unique<AppModel>(fakes.services());
  }

  // A last report with these updates, dated now on the fake clock.
  void setReport(std::vector<AppUpdate> updates) {
    AppState state = model->state();
    state.lastReport = CheckReport{fakes.clock->now(), std::move(updates), true, {}};
    model->setState(state);
  }

  // Runs a check that answers with these updates, and waits for it.
  void runCheck(std::vector<AppUpdate> updates) {
    fakes.checker->setReport(CheckReport{fakes.clock->now(), std::move(updates), true, {}});
    ASSERT_TRUE(waitFor(model->check()));
  }

  std::optional<std::string> noticeText() const {
    return model->notice() ? std::optional(model->notice()->text) : std::nullopt;
  }
  bool noticeIsError() const { return model->notice() && model->notice()->isError; }

  TempDir tmp;
  Fakes fakes;
  std::unique_ptr<AppModel> model;
};

}  // namespace larkvale::test
