// The floor ShellBench measures Larkvale against: a program that links Qt
// Widgets only. It shows one empty 1120×740 main window named "main", or
// (with `tray`) only a tray icon, and reports on standard output:
//   "shown"      when the window first paints, or when the tray start's event
//                loop first waits for something to do;
//   "rss <kB>"   its resident memory after two idle seconds (with --idle).
// Usage: larkvale_bare_probe window|tray [--idle]
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMainWindow>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "bench/shell/ProbeSupport.h"

using namespace probe;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool idle = argc > 2 && std::string(argv[2]) == "--idle";
  auto finish = [idle] {
    if (!idle) {
      QCoreApplication::quit();
      return;
    }
    reportMemoryAfterIdle();
  };

  if (mode == "tray") {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkGray);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    auto* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection ready;
    ready = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
      QObject::disconnect(ready);
      say("shown");
      QTimer::singleShot(0, finish);
    });
    return QApplication::exec();
  }

  FirstPaint watcher(finish);
  app.installEventFilter(&watcher);
  QMainWindow window;
  window.setObjectName("main");
  window.resize(1120, 740);
  window.show();
  return QApplication::exec();
}
