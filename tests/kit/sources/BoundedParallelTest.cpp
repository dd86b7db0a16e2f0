#include "kit/sources/BoundedParallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>

namespace larkvale {
namespace {

TEST(BoundedParallelTest, KeepsInputOrderAndBoundsTheWidth) {
  for (int parallel : {-3, 0, 1, 4, 50}) {
    SCOPED_TRACE(parallel);
    std::atomic<int> inFlight{0}, peak{0};
    std::vector<std::pair<size_t, size_t>> calls;
    auto results = mapBounded<std::string>(
        9, parallel,
        [&](size_t i) {
          int now = ++inFlight;
          int seen = peak.load();
          while (now > seen && !peak.compare_exchange_weak(seen, now)) {
          }
          // Later items finish first, so completion order differs from input order.
          std::this_thread::sleep_for(std::chrono::milliseconds(9 - i));
          --inFlight;
          return std::to_string(i);
        },
        [](size_t, std::exception_ptr) { return std::string("failed"); },
        [&](size_t done, size_t total) { calls.emplace_back(done, total); });
    EXPECT_EQ(results, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_LE(peak.load(), std::max(parallel, 1));
    ASSERT_EQ(calls.size(), 9u);
    for (size_t k = 0; k < calls.size(); ++k) EXPECT_EQ(calls[k], std::make_pair(k + 1, size_t{9}));
  }
}

TEST(BoundedParallelTest, TurnsAnEscapingExceptionIntoThatItemsResult) {
  auto results = mapBounded<std::string>(
      3, 2,
      [](size_t i) -> std::string {
        if (i == 1) throw std::runtime_error("boom");
        return "ok";
      },
      [](size_t, std::exception_ptr e) {
        try {
          std::rethrow_exception(e);
        } catch (const std::exception& ex) {
          return std::string(ex.what());
        }
      });
  EXPECT_EQ(results, (std::vector<std::string>{"ok", "boom", "ok"}));
}

TEST(BoundedParallelTest, AStopHandsOutNoFurtherWork) {
  std::stop_source stopped;
  stopped.request_stop();
  std::atomic<int> started{0};
  auto work = [&](size_t) { return ++started; };
  auto recover = [](size_t, std::exception_ptr) { return 0; };
  EXPECT_THROW(mapBounded<int>(5, 2, work, recover, {}, stopped.get_token()), Cancelled);
  EXPECT_EQ(started.load(), 0);

  // Items 0 and 1 end at once; 2 and 3 hold the places until the stop that
  // the second progress call requests. Nothing after them starts.
  std::stop_source source;
  started = 0;
  EXPECT_THROW(mapBounded<int>(
                   20, 2,
                   [&](size_t i) {
                     ++started;
                     while (i >= 2 && !source.stop_requested())
                       std::this_thread::sleep_for(std::chrono::milliseconds(1));
                     return 1;
                   },
                   recover,
                   [&](size_t done, size_t) {
                     if (done == 2) source.request_stop();
                   },
                   source.get_token()),
               Cancelled);
  EXPECT_LE(started.load(), 4);
}

}  // namespace
}  // namespace larkvale
