#pragma once
// Small builders shared by the shell's tests: reports and a model holding
// one, and a ShellActions that records what the menus asked for.
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"
#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

// A model with no outside services: enough for its values and derived lists.
inline std::unique_ptr<AppModel> bareModel() {
  return std::make_unique<AppModel>(AppServices{});
}

// A home of its own for each launched copy, so that no test reaches the
// user's folders, runtime folder or session bus.
inline QProcessEnvironment sandbox(const test::TempDir& dir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  QString root = QString::fromStdString(dir.path().string());
  QDir().mkpath(root + "/run");
  QFile::setPermissions(root + "/run",
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  env.insert("HOME", root + "/home");
  env.insert("XDG_RUNTIME_DIR", root + "/run");
  env.insert("XDG_CONFIG_HOME", root + "/config");
  env.insert("XDG_DATA_HOME", root + "/data");
  env.insert("XDG_CACHE_HOME", root + "/cache");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");
  return env;
}

class RecordingShell : public ShellActions {
 public:
  QStringList calls;
  void openMainWindow() override { calls << "openMainWindow"; }
  void openHelp() override { calls << "openHelp"; }
  void showMoreApps() override { calls << "showMoreApps"; }
  void showAbout() override { calls << "showAbout"; }
  void checkOwnUpdates() override { calls << "checkOwnUpdates"; }
  void quit() override { calls << "quit"; }
};

}  // namespace larkvale::test
