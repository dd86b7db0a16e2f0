#pragma once
// Waits for a QFuture on the main thread by running its event loop, so the
// continuations that finish it (posted to the main thread) can run. Never
// call waitForFinished() there: it would block the very loop they need.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFuture>
#include <QFutureWatcher>
#include <QTimer>
#include <functional>

namespace larkvale::test {

// True when the future finished; false when it still runs after the guard
// (a test that would otherwise hang fails instead).
template <typename T>
bool waitFor(const QFuture<T>& future, int guardMs = 30000) {
  if (future.isFinished()) return true;
  QEventLoop loop;
  QFutureWatcher<T> watcher;
  QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(guardMs, &loop, &QEventLoop::quit);
  watcher.setFuture(future);
  if (!future.isFinished()) loop.exec();
  return future.isFinished();
}

// Runs the event loop until `done` answers true or the guard passes.
inline bool waitUntil(const std::function<bool()>& done, int guardMs = 30000) {
  QEventLoop loop;
  QTimer poll;
  bool timedOut = false;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(guardMs, &loop, [&] {
    timedOut = true;
    loop.quit();
  });
  if (done()) return true;
  poll.start(1);
  loop.exec();
  return !timedOut || done();
}

}  // namespace larkvale::test
