#pragma once
// Runs work(i) for i in [0, n) with at most `parallel` calls in flight (a
// value below 1 counts as 1). Work starts in index order and a free place is
// refilled as soon as any call finishes. progress(done, n) is called on the
// calling thread exactly once per finished item, with done rising from 1. An
// exception escaping work(i) becomes recover(i, exception). Results come back
// in index order. Every worker thread is joined before the call returns.
//
// Once `stop` is requested no further item is started and progress is no
// longer called; the calls in flight run to their end, and then the call
// throws Cancelled (also when every item happened to be finished by then).
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <queue>
#include <stop_token>
#include <thread>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

template <typename Result>
std::vector<Result> mapBounded(size_t n, int parallel, const std::function<Result(size_t)>& work,
                               const std::function<Result(size_t, std::exception_ptr)>& recover,
                               const std::function<void(size_t, size_t)>& progress = {},
                               std::stop_token stop = {}) {
  Cancelled::check(stop);
  std::vector<std::optional<Result>> slots(n);
  std::mutex mutex;
  std::condition_variable changed;
  std::queue<size_t> done;
  size_t next = 0;
  const size_t width = std::min(n, static_cast<size_t>(std::max(parallel, 1)));
  size_t running = width;

  auto worker = [&] {
    for (;;) {
      size_t index;
      {
        std::lock_guard lock(mutex);
        if (next == n || stop.stop_requested()) {
          --running;
          changed.notify_all();
          return;
        }
        index = next++;
      }
      std::optional<Result> result;
      try {
        result.emplace(work(index));
      } catch (...) {
        result.emplace(recover(index, std::current_exception()));
      }
      {
        std::lock_guard lock(mutex);
        slots[index] = std::move(result);
        done.push(index);
      }
      changed.notify_all();
    }
  };

  {
    std::vector<std::jthread> workers;
    workers.reserve(width);
    for (size_t i = 0; i < width; ++i) workers.emplace_back(worker);
    // Ends when every item is reported, or when the workers have given up
    // after a stop and nothing finished is left to report.
    for (size_t count = 1; count <= n; ++count) {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return !done.empty() || running == 0; });
      if (done.empty()) break;
      done.pop();
      lock.unlock();
      if (progress && !stop.stop_requested()) progress(count, n);
    }
  }
  Cancelled::check(stop);
  std::vector<Result> results;
  results.reserve(n);
  for (auto& slot : slots) results.push_back(std::move(*slot));
  return results;
}

}  // namespace larkvale
