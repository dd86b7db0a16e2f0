#pragma once
// Moves the model's blocking work off the main thread and brings its results
// back. Work runs on one of two thread pools owned here: `user` for what the
// user waits on (scans, checks, the inventory, copies, comparisons, pressing
// another app's menu) and `background`, whose threads run at low priority
// (measuring settings folders). Every piece of work is handed a stop token;
// shutdown() requests the stop, waits a bounded time for the pools to drain
// and stops posting to the main thread.
//
// Results come back as an Outcome inside the returned future; the caller
// attaches a continuation with its QObject as context (`.then(model, …)`), so
// the result is handled on the main thread. Work itself must not touch the
// model: it gets copies and shared services.
//
// Threads: construction, run(), shutdown() and isStopped() on the main thread;
// post() and token() from any thread.
#include <QFuture>
#include <QObject>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrent>
#include <chrono>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

// What one piece of work came to: its value, or the exception it threw, or
// neither when it never ran because the runner had stopped.
template <typename T>
struct Outcome {
  std::optional<T> value;
  std::exception_ptr error;

  bool ok() const { return value.has_value(); }
  // The user-facing text of the error (what()), or a fixed sentence for an
  // exception that isn't a std::exception.
  std::string errorText() const;
};

// Work without a value of its own reports this.
struct Done {};

class WorkRunner {
 public:
  enum class Lane { user, background };

  // `home` is the object whose thread receives post()ed calls; it must
  // outlive the runner or call shutdown() before it goes.
  explicit WorkRunner(QObject* home);
  ~WorkRunner();
  WorkRunner(const WorkRunner&) = delete;
  WorkRunner& operator=(const WorkRunner&) = delete;

  // Runs work(stop_token) on the lane's pool. `work` returns a value (or
  // nothing, which becomes Done); what it throws is caught into the Outcome.
  // After shutdown() nothing runs and the future finishes at once with an
  // empty Outcome.
  template <typename F>
  auto run(Lane lane, F work);

  // Calls f on the home object's thread, in the order posted, unless the
  // runner has shut down by the time it is delivered.
  void post(std::function<void()> f) const;

  std::stop_token token() const { return stop_.get_token(); }
  bool isStopped() const { return stop_.stop_requested(); }

  // Requests the stop, stops post() and waits up to `limit` for running work
  // to end. True when it all ended; work still running after the limit is
  // left to finish on its own (its results are dropped). Later calls do
  // nothing and answer true.
  bool shutdown(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

 private:
  struct Mailbox {
    std::mutex mutex;
    QObject* home = nullptr;
    // One entry per promise not yet finished, each finishing its promise with
    // an empty Outcome. shutdown() runs them while the home object still
    // stands, so work that outlives the runner finds its promise done and
    // lets it go without running a continuation.
    std::map<quint64, std::function<void()>> unfinished;
    quint64 nextId = 0;
  };
  // Posts f to the home object; after shutdown() drops it.
  static void deliver(Mailbox& mailbox, std::function<void()> f);
  quint64 track(std::function<void()> abandon);
  static void untrack(Mailbox& mailbox, quint64 id);

  QThreadPool& pool(Lane lane) { return lane == Lane::user ? *user_ : *background_; }

  std::unique_ptr<QThreadPool> user_;
  std::unique_ptr<QThreadPool> background_;
  std::stop_source stop_;
  std::shared_ptr<Mailbox> mailbox_;
  bool joined_ = false;
};

std::string describeError(const std::exception_ptr& error);

template <typename T>
std::string Outcome<T>::errorText() const {
  return describeError(error);
}

template <typename F>
auto WorkRunner::run(Lane lane, F work) {
  using Raw = std::invoke_result_t<F&, std::stop_token>;
  using T = std::conditional_t<std::is_void_v<Raw>, Done, Raw>;
  auto promise = std::make_shared<QPromise<Outcome<T>>>();
  promise->start();
  QFuture<Outcome<T>> future = promise->future();
  if (isStopped()) {
    promise->addResult(Outcome<T>{});
    promise->finish();
    return future;
  }
  const quint64 id = track([promise] {
    promise->addResult(Outcome<T>{});
    promise->finish();
  });
  auto job = [stop = token(), mailbox = mailbox_, promise, id, work = std::move(work)]() mutable {
    Outcome<T> out;
    if (!stop.stop_requested()) {
      try {
        if constexpr (std::is_void_v<Raw>) {
          work(stop);
          out.value = Done{};
        } else {
          out.value = work(stop);
        }
      } catch (...) {
        out.error = std::current_exception();
      }
    }
    // Finished on the home thread, behind everything the work posted, so a
    // continuation never overtakes the work's own progress. A promise that
    // shutdown() finished meanwhile keeps its empty Outcome.
    deliver(*mailbox, [mailbox, promise, id, out = std::move(out)]() mutable {
      untrack(*mailbox, id);
      if (promise->future().isFinished()) return;
      promise->addResult(std::move(out));
      promise->finish();
    });
  };
  (void)QtConcurrent::run(&pool(lane), std::move(job));
  return future;
}

}  // namespace larkvale
