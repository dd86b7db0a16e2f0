#include "app/model/WorkRunner.h"

#include <QMetaObject>
#include <QThread>

namespace larkvale {

WorkRunner::WorkRunner(QObject* home)
    : user_(std::make_unique<QThreadPool>()),
      background_(std::make_unique<QThreadPool>()),
      mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->home = home;
  background_->setThreadPriority(QThread::LowPriority);
  // Measuring walks whole folders; one walker at a time keeps the disk free
  // for the work the user waits on.
  background_->setMaxThreadCount(1);
}

WorkRunner::~WorkRunner() {
  shutdown();
}

void WorkRunner::post(std::function<void()> f) const {
  deliver(*mailbox_, std::move(f));
}

void WorkRunner::deliver(Mailbox& mailbox, std::function<void()> f) {
  // The lock spans the hand-over, so shutdown() can't clear the home object
  // between the test and the post.
  std::lock_guard lock(mailbox.mutex);
  if (!mailbox.home) return;
  QMetaObject::invokeMethod(mailbox.home, std::move(f), Qt::QueuedConnection);
}

quint64 WorkRunner::track(std::function<void()> abandon) {
  std::lock_guard lock(mailbox_->mutex);
  const quint64 id = mailbox_->nextId++;
  mailbox_->unfinished.emplace(id, std::move(abandon));
  return id;
}

void WorkRunner::untrack(Mailbox& mailbox, quint64 id) {
  std::lock_guard lock(mailbox.mutex);
  mailbox.unfinished.erase(id);
}

bool WorkRunner::shutdown(std::chrono::milliseconds limit) {
  if (joined_) return true;
  joined_ = true;
  stop_.request_stop();
  std::map<quint64, std::function<void()>> unfinished;
  {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->home = nullptr;
    unfinished.swap(mailbox_->unfinished);
  }
  // Every future ends now, on the home thread, with an empty Outcome: work
  // that is still running (or never started) can no longer reach the home
  // object, and a promise it lets go later is already finished.
  for (auto& [id, abandon] : unfinished) abandon();
  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto remaining = [&] {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<int64_t>(0, left.count()));
  };
  bool allDone = true;
  for (auto* slot : {&user_, &background_}) {
    if ((*slot)->waitForDone(remaining())) continue;
    // A pool's destructor waits for its threads without limit. Quitting must
    // not hang on a tool that ignores its stop token, so such a pool is let
    // go: its work holds only copies and shared services, and its results
    // can no longer reach the model.
    (void)slot->release();
    allDone = false;
  }
  return allDone;
}

std::string describeError(const std::exception_ptr& error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "An unexpected error occurred.";
  }
}

}  // namespace larkvale
