// Larkvale's demo: the real app on a sample home folder. A dozen sample apps,
// each with one kind of update source, a local server that answers for their
// feeds, the App Store and GitHub (and for Larkvale's own feed), and a
// stand-in `brew`. The app starts a check at once, so that the check, the
// tray count, the update list and every hand-off can be watched. Nothing of
// the user's own home is read or changed; the sample home goes when the demo
// ends.
#include <QApplication>
#include <QDesktopServices>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "app/model/AppModel.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/RealServices.h"
#include "app/shell/Shell.h"
#include "app/shell/SignalQuit.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "platform/AppFolders.h"
#include "platform/HttpSession.h"
#include "tools/demo/DemoHome.h"
#include "tools/demo/DemoServer.h"

using namespace larkvale;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Larkvale"));
  QApplication::setApplicationDisplayName(QStringLiteral("Larkvale"));
  QApplication::setApplicationVersion(QStringLiteral(LARKVALE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("larkvale"));
  quitOnTerminationSignals();

  QTemporaryDir sample(QDir::tempPath() + QStringLiteral("/larkvale-demo-XXXXXX"));
  if (!sample.isValid()) {
    std::fputs("The demo couldn't make its sample home folder.\n", stderr);
    return 1;
  }
  std::filesystem::path home = sample.path().toStdString();
  demo::DemoServer server;
  try {
    server.start(demo::writeDemoHome(home, server.url()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "The demo couldn't set up its sample home: %s\n", e.what());
    return 1;
  }
  std::printf("Larkvale demo: sample home %s, local server %s\n", home.c_str(),
              server.url().c_str());
  std::fflush(stdout);

  auto openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  auto updater =
      std::make_shared<Updater>(makeCurlSession(), std::make_shared<UpdaterDialogs>(openUrl),
                                Updater::Options{.feedURL = server.url() + "/larkvale/appcast.xml",
                                                 .app = AppInfo::running()});

  RealServiceOptions options = RealServiceOptions::underHome(home);
  options.scanRoots = std::vector<std::filesystem::path>{home / "Applications"};
  options.hosts = ServiceHosts{server.url(), server.url(), server.url()};
  options.brew = demo::demoBrew(home);
  options.fetchSpacing = std::chrono::milliseconds(300);  // slow enough to watch the check go by
  options.ownUpdater = updater;
  RealServices real = realServices(options);

  AppModel model(real.services);
  AppModel::setShared(&model);
  pennant::MoreAppsLoader catalogueLoader;
  catalogueLoader.cacheDirectory = AppFolders(options.folders).catalogue;
  ui::MoreAppsCatalogue catalogue(ui::moreAppsConfig(), catalogueLoader);
  ShellParts parts;
  parts.showMoreApps = [&catalogue] { catalogue.show(); };
  parts.updater = updater;
  parts.app = AppInfo::running();
  parts.appIcon = larkvaleIcon();
  QApplication::setWindowIcon(parts.appIcon);
  Shell shell(model, std::move(parts));
  connectNotifications(real, shell);
  shell.start();
  QTimer::singleShot(0, &model, [&model] { model.check(); });
  int status = QApplication::exec();
  AppModel::setShared(nullptr);
  return status;
}
