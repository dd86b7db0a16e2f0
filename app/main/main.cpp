// The larkvale executable: makes sure it is the user's only instance, then
// runs the app on the real user's folders and services.
#include <QApplication>
#include <cstdio>

#include "app/shell/LaunchOptions.h"
#include "app/shell/OwnFeed.h"
#include "app/shell/Shell.h"
#include "app/shell/SignalQuit.h"
#include "app/shell/SingleInstance.h"
#include "app/wiring/AppRun.h"

using namespace larkvale;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  nameApplication(LARKVALE_VERSION);
  bool loginItem = LaunchOptions::launchedAsLoginItem(QApplication::arguments());
  quitOnTerminationSignals();

  SingleInstance instance;
  if (!instance.claim()) {
    if (instance.handOver(loginItem ? SingleInstance::loginItemRequest
                                    : SingleInstance::openRequest)) {
      return 0;
    }
    std::fputs("Larkvale is already running but doesn't answer.\n", stderr);
    return 1;
  }

  return runApp({.options = RealServiceOptions::currentUser(),
                 .ownFeedURL = OwnFeed::defaultURL(),
                 .launchedAsLoginItem = loginItem,
                 .beforeStart = [&instance](AppModel&, Shell& shell) {
                   QObject::connect(&instance, &SingleInstance::requested, &shell,
                                    &Shell::handleRequest);
                 }});
}
