// Measurement helper for ShellBench: starts either a bare Qt program that
// shows one empty window, or Larkvale as its own program starts (the real
// services on the folders of HOME), and reports on standard output:
//   "shown"      when the window named "main" first paints;
//   "rss <kB>"   its resident memory, once idle (with --idle, or after the
//                check of `app-check`).
// Usage: larkvale_startup_probe bare [--idle] | app | app-check <server> <brew>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/model/AppModel.h"
#include "app/shell/Shell.h"
#include "app/shell/Updater.h"
#include "app/wiring/RealServices.h"
#include "platform/UserFolders.h"

using namespace larkvale;

namespace {

long residentKB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

void say(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Reports the first paint of the window named "main", then runs `next`.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> next) : next_(std::move(next)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched->objectName() == "main") {
      done_ = true;
      say("shown");
      QTimer::singleShot(0, next_);
    }
    return false;
  }

 private:
  bool done_ = false;
  std::function<void()> next_;
};

void reportMemoryAfterIdle() {
  QTimer::singleShot(2000, [] {
    say("rss " + std::to_string(residentKB()));
    QCoreApplication::quit();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::string mode = argc > 1 ? argv[1] : "";
  bool idle = argc > 2 && std::string(argv[2]) == "--idle";

  if (mode == "bare") {
    FirstPaint watcher([idle] { idle ? reportMemoryAfterIdle() : QCoreApplication::quit(); });
    app.installEventFilter(&watcher);
    QWidget window;
    window.setObjectName("main");
    window.resize(1120, 740);
    window.show();
    return QApplication::exec();
  }

  QApplication::setApplicationName("Larkvale");
  QApplication::setApplicationVersion("0");
  RealServiceOptions options = RealServiceOptions::currentUser();
  bool check = mode == "app-check" && argc > 3;
  if (check) {
    options.hosts = ServiceHosts{argv[2], argv[2], argv[2]};
    options.brew = std::filesystem::path(argv[3]);
    options.fetchSpacing = {};
  }
  auto updater = std::make_shared<Updater>(makeCurlSession(), nullptr, Updater::Options{});
  options.ownUpdater = updater;
  RealServices real = realServices(options);
  AppModel model(real.services);
  ShellParts parts;
  parts.updater = updater;
  Shell shell(model, parts);

  FirstPaint watcher([&] {
    if (!check) {
      QCoreApplication::quit();
      return;
    }
    QObject::connect(&model, &AppModel::checkingChanged, [&] {
      if (!model.checking()) reportMemoryAfterIdle();
    });
    model.check();
  });
  app.installEventFilter(&watcher);
  shell.start();
  return QApplication::exec();
}
