// The larkvale executable: builds the real services, hands them to the one
// application model and starts the shell.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>

#include "app/model/AppModel.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/LaunchOptions.h"
#include "app/shell/OwnFeed.h"
#include "app/shell/Shell.h"
#include "app/shell/SignalQuit.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "platform/AppFolders.h"
#include "platform/HttpSession.h"
#include "platform/UserFolders.h"

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

  UserFolders folders = UserFolders::current();
  AppFolders appFolders(folders);
  std::shared_ptr<HttpSession> http = makeCurlSession();
  auto openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  auto updater = std::make_shared<Updater>(
      http, std::make_shared<UpdaterDialogs>(openUrl),
      Updater::Options{.feedURL = OwnFeed::defaultURL(), .app = AppInfo::running()});

  AppServices services;
  services.folders = {folders.home, appFolders.caches};
  services.ownUpdater = updater;
  // WIRING SPOT: the kit-backed services (clock, state file, scanner, update
  // checker, Terminal hand-off, menu press) and the desktop ones (badge,
  // notifications, login item, clipboard, panels, workspace, volumes, host
  // facts) are handed in here as they come into the build.

  AppModel model(std::move(services));
  AppModel::setShared(&model);

  pennant::MoreAppsLoader catalogueLoader;
  catalogueLoader.cacheDirectory = appFolders.catalogue;
  ui::MoreAppsCatalogue catalogue(ui::moreAppsConfig(), catalogueLoader);
  ShellParts parts;
  parts.launchedAsLoginItem = loginItem;
  parts.showMoreApps = [&catalogue] { catalogue.show(); };
  parts.updater = updater;
  parts.app = AppInfo::running();
  parts.appIcon = larkvaleIcon();
  QApplication::setWindowIcon(parts.appIcon);
  Shell shell(model, std::move(parts));
  QObject::connect(&instance, &SingleInstance::requested, &shell, &Shell::handleRequest);
  shell.start();
  int status = QApplication::exec();
  AppModel::setShared(nullptr);
  return status;
}
