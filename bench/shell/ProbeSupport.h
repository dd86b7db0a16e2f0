#pragma once
// What the two start-up probes (the bare floor and the app) share: how they
// report on standard output and how they see the first paint and their
// resident memory. Qt Widgets and the standard library only, so that the
// floor links nothing else.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace probe {

inline long residentKB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

inline void say(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Says "rss <kB>" after two idle seconds and quits.
inline void reportMemoryAfterIdle() {
  QTimer::singleShot(2000, [] {
    say("rss " + std::to_string(residentKB()));
    QCoreApplication::quit();
  });
}

// Says "shown" and runs `next` once the window named "main" has first painted.
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

}  // namespace probe
