#pragma once
// The state of one "Update All That Are Safe" run: its steps, fixed when the
// run is made, a mark for each, and which step is current. A plain value
// without locks: the application model owns it on its thread.
//
// States: not started (no index), at step k, finished (no index). start()
// leads to step 0, or straight to finished when there are no steps;
// advance() and skipCurrent() lead from step k to k+1, or from the last step
// to finished. In every other state those operations do nothing, and a
// finished run never starts again.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kit/sources/SafeUpdateStep.h"

namespace larkvale {

class SafeUpdateRun {
 public:
  enum class Mark { waiting, handedOff, skipped };

  // Every step waiting. Steps are told apart by their id(); steps sharing an
  // id share one mark.
  explicit SafeUpdateRun(std::vector<SafeUpdateStep> steps);

  const std::vector<SafeUpdateStep>& steps() const { return steps_; }
  const std::map<std::string, Mark>& marks() const { return marks_; }
  std::optional<size_t> index() const { return index_; }
  bool isFinished() const { return isFinished_; }
  bool hasStarted() const { return index_.has_value() || isFinished_; }

  // The step at the index; nothing before the start and after the end.
  std::optional<SafeUpdateStep> current() const;
  // waiting for a step the run doesn't hold.
  Mark mark(const SafeUpdateStep& step) const;
  size_t handedOffCount() const;

  void start();
  // The current step becomes handed off, whatever its mark; the index stays.
  void markHandedOff();
  void advance();
  // A waiting current step becomes skipped (a handed-off one stays so), then
  // the run advances.
  void skipCurrent();

  friend bool operator==(const SafeUpdateRun&, const SafeUpdateRun&) = default;

 private:
  std::vector<SafeUpdateStep> steps_;
  std::map<std::string, Mark> marks_;
  std::optional<size_t> index_;
  bool isFinished_ = false;
};

}  // namespace larkvale
