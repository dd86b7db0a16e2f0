// Measurement helper for ShellBench: Larkvale as its program starts it (the
// real services on the folders of HOME, every screen and the catalogue
// registered), reporting on standard output:
//   "shown"      when the window named "main" first paints, or, started as a
//                login item (tray only), when the event loop first waits;
//   "rss <kB>"   its resident memory once idle (two seconds after "shown"
//                with --idle, or after the check of `app-check` and
//                `tray-check`).
// With --stay in place of --idle it reports "shown" and runs on until ended,
// for a watch over its idle behaviour from outside.
// `seed <count>` writes a last report of that many apps into HOME's state
// folder and ends; it is not measured.
// Usage: larkvale_startup_probe app [--idle|--stay] | tray [--idle|--stay] | seed <count>
//        | app-check <server> <brew> | tray-check <server> <brew>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "bench/shell/ProbeSupport.h"

#include "app/model/AppModel.h"
#include "app/wiring/AppRun.h"
#include "bench/support/WidgetBench.h"
#include "kit/model/StateStore.h"
#include "platform/AppFolders.h"

using namespace larkvale;
using namespace probe;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  nameApplication("0");
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool idle = argc > 2 && std::string(argv[2]) == "--idle";
  const bool stay = argc > 2 && std::string(argv[2]) == "--stay";
  const bool check = (mode == "app-check" || mode == "tray-check") && argc > 3;
  const bool trayOnly = mode == "tray" || mode == "tray-check";

  AppRun run{.options = RealServiceOptions::currentUser(),
             .ownFeedURL = {},
             .launchedAsLoginItem = trayOnly,
             .instance = nullptr,
             .beforeStart = {}};
  // Measured as it runs in a desktop's tray, whatever the offscreen
  // platform says about trays.
  if (trayOnly) run.trayAvailable = [] { return true; };
  if (mode == "seed" && argc > 2) {
    StateStore(AppFolders(run.options.folders).state)
        .save(bench::bigReportState(std::stoi(argv[2])));
    return 0;
  }
  // Nothing leaves the machine: the update sources are a local server's
  // (app-check, tray-check) or a closed port's.
  const std::string server = check ? argv[2] : "http://127.0.0.1:9";
  run.options.hosts = ServiceHosts{server, server, server};
  run.options.brew = std::filesystem::path(check ? argv[3] : "/nonexistent/brew");
  run.options.fetchSpacing = {};

  auto after = [idle, stay, check](AppModel& model) {
    if (stay) return;
    if (check) {
      QObject::connect(&model, &AppModel::checkingChanged, [&model] {
        if (!model.checking()) reportMemoryAfterIdle();
      });
      model.check();
    } else if (idle) {
      reportMemoryAfterIdle();
    } else {
      QCoreApplication::quit();
    }
  };
  std::unique_ptr<FirstPaint> watcher;
  QMetaObject::Connection ready;
  run.beforeStart = [&](AppModel& model, Shell&) {
    auto next = [&model, after] { after(model); };
    if (trayOnly) {
      ready = QObject::connect(QAbstractEventDispatcher::instance(),
                               &QAbstractEventDispatcher::aboutToBlock, [&, next] {
                                 QObject::disconnect(ready);
                                 say("shown");
                                 QTimer::singleShot(0, next);
                               });
    } else {
      watcher = std::make_unique<FirstPaint>(next);
      app.installEventFilter(watcher.get());
    }
  };
  return runApp(std::move(run));
}
