#include "app/wiring/AppRun.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayScreens.h"
#include "app/screens/updates/MoreUpdateScreens.h"
#include "app/screens/updates/UpdateScreens.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "platform/AppFolders.h"
#include "platform/HttpSession.h"

namespace larkvale {

void nameApplication(const char* version) {
  QApplication::setApplicationName(QStringLiteral("Larkvale"));
  QApplication::setApplicationDisplayName(QStringLiteral("Larkvale"));
  QApplication::setApplicationVersion(QString::fromUtf8(version));
  QApplication::setDesktopFileName(QStringLiteral("larkvale"));
}

std::optional<int> claimOrHandOver(SingleInstance& instance, const char* kind,
                                   const QByteArray& token) {
  switch (instance.claim()) {
    case SingleInstance::Claim::first:
      return std::nullopt;
    case SingleInstance::Claim::later:
      if (instance.handOver(SingleInstance::request(kind, token))) return 0;
      std::fputs("Larkvale is already running but doesn't answer.\n", stderr);
      return 1;
    case SingleInstance::Claim::failed:
      break;
  }
  std::fprintf(stderr, "Larkvale can't make sure that it runs only once, so it doesn't start. %s\n",
               qPrintable(instance.errorString()));
  QMessageBox::critical(
      nullptr, QStringLiteral("Larkvale"),
      QCoreApplication::translate("AppRun",
                                  "Larkvale can\u2019t make sure that it runs only once, so it "
                                  "doesn\u2019t start.\n\n%1")
          .arg(instance.errorString()));
  return 1;
}

int runApp(AppRun run) {
  auto openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  auto updater = std::make_shared<Updater>(
      makeCurlSession(), std::make_shared<UpdaterDialogs>(openUrl),
      Updater::Options{.feedURL = run.ownFeedURL, .app = AppInfo::running()});
  run.options.ownUpdater = updater;
  RealServices real = realServices(run.options);

  AppModel model(real.services);
  AppModel::setShared(&model);
  pennant::MoreAppsLoader catalogueLoader;
  catalogueLoader.cacheDirectory = AppFolders(run.options.folders).catalogue;
  ui::MoreAppsCatalogue catalogue(ui::moreAppsConfig(), catalogueLoader);
  ShellParts parts;
  parts.launchedAsLoginItem = run.launchedAsLoginItem;
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
  if (run.instance) {
    QObject::connect(run.instance, &SingleInstance::requested, &shell, &Shell::handleRequest);
  }
  if (run.beforeStart) run.beforeStart(model, shell);
  shell.start();
  const int status = QApplication::exec();
  AppModel::setShared(nullptr);
  return status;
}

}  // namespace larkvale
