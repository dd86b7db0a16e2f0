// The larkvale executable: makes sure it is the user's only instance, then
// runs the app on the real user's folders and services.
#include <QApplication>

#include "app/shell/SignalQuit.h"
#include "app/shell/SingleInstance.h"
#include "app/ui/OwnFeed.h"
#include "app/wiring/AppRun.h"
#include "app/wiring/LaunchOptions.h"
#include "platform/AppFolders.h"

using namespace larkvale;

int main(int argc, char** argv) {
  const QByteArray token = SingleInstance::launchToken();
  QApplication app(argc, argv);
  nameApplication(LARKVALE_VERSION);
  bool loginItem = LaunchOptions::launchedAsLoginItem(QApplication::arguments());
  quitOnTerminationSignals();

  RealServiceOptions options = RealServiceOptions::currentUser();
  SingleInstance instance(QString::fromStdString(AppFolders(options.folders).state.string()),
                          SingleInstance::runtimeFolder());
  if (auto status = claimOrHandOver(
          instance, loginItem ? SingleInstance::loginItemRequest : SingleInstance::openRequest,
          token)) {
    return *status;
  }

  return runApp({.options = std::move(options),
                 .ownFeedURL = OwnFeed::defaultURL(),
                 .launchedAsLoginItem = loginItem,
                 .instance = &instance,
                 .beforeStart = {}});
}
