// Larkvale's demo: the real app on a sample home folder. A dozen sample apps,
// each with one kind of update source, a local server that answers for their
// feeds, the App Store and GitHub (and for Larkvale's own feed), and a
// stand-in `brew`. The app starts a check at once, so that the check, the
// tray count, the update list and every hand-off can be watched. Nothing of
// the user's own home is read or changed; the sample home goes when the demo
// ends. Like the app it runs once per user (with a guard of its own): a
// second start brings the running demo's window forward.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/model/AppModel.h"
#include "app/shell/SignalQuit.h"
#include "app/shell/SingleInstance.h"
#include "app/wiring/AppRun.h"
#include "platform/AppFolders.h"
#include "tools/demo/DemoHome.h"
#include "tools/demo/DemoServer.h"

using namespace larkvale;

int main(int argc, char** argv) {
  const QByteArray token = SingleInstance::launchToken();
  QApplication app(argc, argv);
  nameApplication(LARKVALE_VERSION);
  quitOnTerminationSignals();

  SingleInstance instance(QString::fromStdString(AppFolders(UserFolders::current()).state.string()),
                          SingleInstance::runtimeFolder(), QStringLiteral("larkvale-demo"));
  if (auto status = claimOrHandOver(instance, SingleInstance::openRequest, token)) return *status;

  // Named absolutely, so that its removal at the end can't depend on the
  // working folder.
  QTemporaryDir sample(
      QDir(QDir::tempPath()).absoluteFilePath(QStringLiteral("larkvale-demo-XXXXXX")));
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

  RealServiceOptions options = RealServiceOptions::underHome(home);
  options.scanRoots = std::vector<std::filesystem::path>{home / "Applications"};
  options.hosts = ServiceHosts{server.url(), server.url(), server.url()};
  options.brew = demo::demoBrew(home);
  options.fetchSpacing = std::chrono::milliseconds(300);  // slow enough to watch the check go by
  // Started at once, so that the check can be watched.
  return runApp({.options = std::move(options),
                 .ownFeedURL = server.url() + "/larkvale/appcast.xml",
                 .instance = &instance,
                 .beforeStart = [](AppModel& model, Shell&) {
                   QTimer::singleShot(0, &model, [&model] { model.check(); });
                 }});
}
