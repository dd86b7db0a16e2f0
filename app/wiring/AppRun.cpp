#include "app/wiring/AppRun.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <cstdio>

#include "Pennant/view/MoreAppsWindow.h"
#include "app/desktop/TrayPresence.h"
#include "app/model/AppModel.h"
#include "app/screens/ScreenTable.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/window/MoreAppsCatalogue.h"
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
      if (instance.handOver(SingleInstance::request(kind, token))) {
        // Said where the launch came from: a terminal, or the session's log.
        const bool atLogIn = qstrcmp(kind, SingleInstance::loginItemRequest) == 0;
        std::fputs(
            qPrintable(
                atLogIn ? QCoreApplication::translate("AppRun", "Larkvale is already running.")
                        : QCoreApplication::translate("AppRun",
                                                      "Larkvale is already running; its window was "
                                                      "brought forward.")),
            stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        return 0;
      }
      std::fputs("Larkvale is already running but doesn't answer.\n", stderr);
      return 1;
    case SingleInstance::Claim::failed:
      break;
  }
  std::fprintf(stderr, "Larkvale can't make sure that it runs only once, so it doesn't start. %s\n",
               qPrintable(instance.errorString()));
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Larkvale"),
                  QCoreApplication::translate("AppRun",
                                              "Larkvale can\u2019t make sure that it runs only "
                                              "once, so it doesn\u2019t start.\n\n%1")
                      .arg(instance.errorString()));
  // The reason names a folder: a path is shown as it is written, never read
  // as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return 1;
}

int runApp(AppRun run) {
  auto updater = std::make_shared<Updater>(
      makeCurlSession(), std::make_shared<UpdaterDialogs>(),
      Updater::Options{.feedURL = run.ownFeedURL, .app = AppInfo::running()});
  run.options.ownUpdater = updater;
  RealServices real = realServices(run.options);
  // The state file is being read on a worker meanwhile (realServices starts
  // it): what needs no state is done first, starting with the desktop's font
  // when a window is to open (a start in the tray may never draw text).
  if (!run.launchedAsLoginItem) (void)QFontMetrics(QApplication::font()).height();

  AppModel model(real.services);
  AppModel::setShared(&model);
  pennant::MoreAppsLoader catalogueLoader;
  catalogueLoader.cacheDirectory = AppFolders(run.options.folders).catalogue;
  pennant::MoreAppsCatalogue catalogue(moreAppsConfig(), catalogueLoader, catalogueHooks(model));
  ShellParts parts;
  parts.launchedAsLoginItem = run.launchedAsLoginItem;
  parts.trayAvailable = run.trayAvailable;
  std::unique_ptr<TrayPresence> tray;
  if (!run.trayAvailable) {
    tray = std::make_unique<TrayPresence>();
    parts.askTray = [&tray](std::function<void(bool)> answer) { tray->ask(std::move(answer)); };
    parts.whenTrayIconMayBeMade = [&tray](std::function<void()> make) {
      tray->whenIconMayBeMade(std::move(make));
    };
  }
  registerScreens(parts.screens, catalogue);
  parts.showMoreApps = [&catalogue] { catalogue.showMoreAppsWindow(); };
  parts.updater = updater;
  parts.notifications = real.services.notifications;
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
