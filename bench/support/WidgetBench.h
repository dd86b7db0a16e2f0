#pragma once
// What the widget benchmarks share: one QApplication on the offscreen
// platform, and a large last report to show.
#include <QApplication>

#include <string>

#include "kit/model/AppState.h"

namespace larkvale::bench {

// Makes the program's QApplication on first use. False when another
// benchmark made a plain QCoreApplication first: widgets can't run then.
inline bool ensureWidgetApplication() {
  if (QCoreApplication::instance())
    return qobject_cast<QApplication*>(QCoreApplication::instance());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "larkvale_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  return true;
}

// A last report of `count` apps checked now, every third with an update
// waiting, their sources alternating between an appcast and a cask.
inline AppState bigReportState(int count) {
  CheckReport report;
  report.date = std::chrono::system_clock::now();
  for (int i = 0; i < count; ++i) {
    AppUpdate u;
    u.app.path = "/Applications/App " + std::to_string(i) + ".app";
    u.app.name = "App " + std::to_string(i);
    u.app.bundleID = "com.example.app" + std::to_string(i);
    u.app.version = "1.0";
    u.source = i % 2 ? UpdateSource::homebrew("app-" + std::to_string(i))
                     : UpdateSource::sparkle("https://example.com/" + std::to_string(i));
    u.status = i % 3 == 0 ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
    u.latestVersion = i % 3 == 0 ? "2.0" : "1.0";
    u.released = report.date;
    report.updates.push_back(std::move(u));
  }
  AppState state;
  state.lastReport = std::move(report);
  return state;
}

}  // namespace larkvale::bench
