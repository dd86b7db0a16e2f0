// The larkvale executable: builds the real services, hands them to the one
// application model and starts the shell.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>

#include "app/model/AppModel.h"
#include "app/screens/updates/UpdateScreens.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/LaunchOptions.h"
#include "app/shell/OwnFeed.h"
#include "app/shell/RealServices.h"
#include "app/shell/Shell.h"
#include "app/shell/SignalQuit.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/screens/movingday/MovingDayScreens.h"
#include "app/screens/updates/MoreUpdateScreens.h"
#include "app/screens/updates/UpdateScreens.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "platform/AppFolders.h"
#include "platform/HttpSession.h"

using namespace larkvale;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Larkvale"));
  QApplication::setApplicationDisplayName(QStringLiteral("Larkvale"));
  QApplication::setApplicationVersion(QStringLiteral(LARKVALE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("larkvale"));
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

  RealServiceOptions options = RealServiceOptions::currentUser();
  AppFolders appFolders(options.folders);
  std::shared_ptr<HttpSession> http = makeCurlSession();
  auto openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  auto updater = std::make_shared<Updater>(
      http, std::make_shared<UpdaterDialogs>(openUrl),
      Updater::Options{.feedURL = OwnFeed::defaultURL(), .app = AppInfo::running()});
  options.ownUpdater = updater;
  RealServices real = realServices(options);

  AppModel model(real.services);
  AppModel::setShared(&model);

  pennant::MoreAppsLoader catalogueLoader;
  catalogueLoader.cacheDirectory = appFolders.catalogue;
  ui::MoreAppsCatalogue catalogue(ui::moreAppsConfig(), catalogueLoader);
  ShellParts parts;
  parts.launchedAsLoginItem = loginItem;
  registerUpdateScreens(parts.screens);
  registerMoreUpdateScreens(parts.screens, catalogue);
  registerMovingDayScreens(parts.screens);
  parts.showMoreApps = [&catalogue] { catalogue.show(); };
  parts.updater = updater;
  parts.app = AppInfo::running();
  parts.appIcon = larkvaleIcon();
  QApplication::setWindowIcon(parts.appIcon);
  Shell shell(model, std::move(parts));
  connectNotifications(real, shell);
  QObject::connect(&instance, &SingleInstance::requested, &shell, &Shell::handleRequest);
  shell.start();
  int status = QApplication::exec();
  AppModel::setShared(nullptr);
  return status;
}
