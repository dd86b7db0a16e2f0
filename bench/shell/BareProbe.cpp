// The floor ShellBench measures Larkvale against: a program that links Qt
// Widgets and libcurl only. It shows one 1120×740 main window named "main"
// with one line of text (so it pays for the font database, as any window
// with text does), or (with `tray`) only a tray icon, and reports on
// standard output:
//   "shown"      when the window first paints, or when the tray start's event
//                loop first waits for something to do;
//   "rss <kB>"   its resident memory after two idle seconds (with --idle).
// With --fetch FILE it first fetches every URL listed in FILE (one a line)
// over one libcurl handle, as a check of those apps would, then idles.
// Usage: larkvale_bare_probe window|tray [--idle] [--fetch FILE]
#include <curl/curl.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
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

namespace {

size_t keep(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// Fetches each URL of the file in turn, reading each answer whole.
void fetchAll(const std::string& listFile) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* handle = curl_easy_init();
  std::ifstream urls(listFile);
  std::string url, body;
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, keep);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
  while (std::getline(urls, url)) {
    body.clear();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_perform(handle);
  }
  curl_easy_cleanup(handle);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  bool idle = false;
  std::string fetchList;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--idle") idle = true;
    if (arg == "--fetch" && i + 1 < argc) fetchList = argv[++i];
  }
  auto finish = [idle, fetchList] {
    if (!fetchList.empty()) fetchAll(fetchList);
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
  window.setCentralWidget(new QLabel(QStringLiteral("Every app is up to date.")));
  window.resize(1120, 740);
  window.show();
  return QApplication::exec();
}
