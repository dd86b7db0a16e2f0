#pragma once
// A model over fakes in a fresh temporary home and cache folder, and small
// builders of apps, updates and reports.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>

#include "app/model/AppModel.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

inline InstalledApp app(const std::string& name, const std::string& bundleID = "",
                        const std::string& version = "1.0") {
  InstalledApp a;
  a.path = "/Applications/" + name + ".app";
  a.name = name;
  a.bundleID = bundleID.empty() ? "com.example." + name : bundleID;
  a.version = a.build = version;
  return a;
}

enum class Is { waiting, current, unchecked, sourceless };

inline AppUpdate update(const std::string& name, Is is = Is::waiting,
                        UpdateSource source = UpdateSource::sparkle("https://example.com/f.xml"),
                        std::optional<std::string> latest = "2.0") {
  AppUpdate u;
  u.app = app(name);
  u.source = std::move(source);
  u.latestVersion = std::move(latest);
  switch (is) {
    case Is::waiting:
      u.status = UpdateStatus::updateAvailable();
      break;
    case Is::current:
      u.status = UpdateStatus::upToDate();
      break;
    case Is::unchecked:
      u.status = UpdateStatus::notChecked("Offline.");
      break;
    case Is::sourceless:
      u.status = UpdateStatus::noSource();
      break;
  }
  return u;
}

inline AppUpdate cask(const std::string& name, const std::string& token, bool autoUpdates = false) {
  AppUpdate u = update(name, Is::waiting, UpdateSource::homebrew(token));
  u.caskAutoUpdates = autoUpdates;
  return u;
}

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
