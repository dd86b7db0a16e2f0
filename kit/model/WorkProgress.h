#pragma once
// How far one of the long operations (a check, a copy) has come, and the
// callback that reports it. Each operation says on which thread it calls.
#include <functional>

namespace larkvale {

// done of total steps finished; 0 of 0 before the total is known.
struct WorkProgress {
  int done = 0;
  int total = 0;

  friend bool operator==(const WorkProgress&, const WorkProgress&) = default;
};

using ProgressCallback = std::function<void(WorkProgress)>;

}  // namespace larkvale
