#pragma once
// Runs work(i) for i in [0, n) with at most `parallel` calls in flight (a
// value below 1 counts as 1). Work starts in index order and a free place is
// refilled as soon as any call finishes. progress(done, n) is called on the
// calling thread exactly once per item, with done rising from 1 to n. An
// exception escaping work(i) becomes recover(i, exception). Results come back
// in index order. Every worker thread is joined before the call returns.
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <queue>
#include <thread>
#include <vector>

namespace larkvale {

template <typename Result>
std::vector<Result> mapBounded(size_t n, int parallel, const std::function<Result(size_t)>& work,
                               const std::function<Result(size_t, std::exception_ptr)>& recover,
                               const std::function<void(size_t, size_t)>& progress = {}) {
  std::vector<std::optional<Result>> slots(n);
  std::mutex mutex;
  std::condition_variable finished;
  std::queue<size_t> done;
  size_t next = 0;

  auto worker = [&] {
    for (;;) {
      size_t index;
      {
        std::lock_guard lock(mutex);
        if (next == n) return;
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
      finished.notify_one();
    }
  };

  const size_t width = std::min(n, static_cast<size_t>(std::max(parallel, 1)));
  {
    std::vector<std::jthread> workers;
    workers.reserve(width);
    for (size_t i = 0; i < width; ++i) workers.emplace_back(worker);
    for (size_t count = 1; count <= n; ++count) {
      std::unique_lock lock(mutex);
      finished.wait(lock, [&] { return !done.empty(); });
      done.pop();
      lock.unlock();
      if (progress) progress(count, n);
    }
  }
  std::vector<Result> results;
  results.reserve(n);
  for (auto& slot : slots) results.push_back(std::move(*slot));
  return results;
}

}  // namespace larkvale
