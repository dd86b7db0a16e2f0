#pragma once
// The model tests' fixture: the shared rig, a model over fakes in fresh
// folders, with a check run to its end.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "tests/app/AppRig.h"

namespace larkvale::test {

inline std::vector<std::string> names(const std::vector<AppUpdate>& updates) {
  std::vector<std::string> out;
  for (const auto& u : updates) out.push_back(u.app.name);
  return out;
}

class ModelTest : public ::testing::Test, public Rig {
 protected:
  // Fresh fakes and a fresh model over the same folders.
  void remake() {
    Fakes fresh;
    fresh.folders = fakes.folders;
    fakes = fresh;
    model = std::make_unique<AppModel>(fakes.services());
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
};

}  // namespace larkvale::test
