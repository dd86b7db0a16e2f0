#pragma once
// Small builders shared by the shell's tests: reports and a model holding
// one, and a ShellActions that records what the menus asked for.
#include <QStringList>
#include <memory>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"
#include "tests/support/Samples.h"

namespace larkvale::test {

// A model with no outside services: enough for its values and derived lists.
inline std::unique_ptr<AppModel> bareModel() {
  return std::make_unique<AppModel>(AppServices{});
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
