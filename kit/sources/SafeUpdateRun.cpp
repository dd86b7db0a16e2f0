#include "kit/sources/SafeUpdateRun.h"

#include <algorithm>

namespace larkvale {

SafeUpdateRun::SafeUpdateRun(std::vector<SafeUpdateStep> steps) : steps_(std::move(steps)) {
  for (const auto& step : steps_) marks_.emplace(step.id(), Mark::waiting);
}

std::optional<SafeUpdateStep> SafeUpdateRun::current() const {
  if (!index_ || *index_ >= steps_.size()) return std::nullopt;
  return steps_[*index_];
}

SafeUpdateRun::Mark SafeUpdateRun::mark(const SafeUpdateStep& step) const {
  auto found = marks_.find(step.id());
  return found == marks_.end() ? Mark::waiting : found->second;
}

size_t SafeUpdateRun::handedOffCount() const {
  return static_cast<size_t>(std::count_if(marks_.begin(), marks_.end(), [](const auto& entry) {
    return entry.second == Mark::handedOff;
  }));
}

void SafeUpdateRun::start() {
  if (index_ || isFinished_) return;
  if (steps_.empty()) {
    isFinished_ = true;
  } else {
    index_ = 0;
  }
}

void SafeUpdateRun::markHandedOff() {
  if (auto step = current()) marks_[step->id()] = Mark::handedOff;
}

void SafeUpdateRun::advance() {
  if (!index_) return;
  if (*index_ + 1 < steps_.size()) {
    ++*index_;
  } else {
    index_.reset();
    isFinished_ = true;
  }
}

void SafeUpdateRun::skipCurrent() {
  auto step = current();
  if (!step) return;
  Mark& mark = marks_[step->id()];
  if (mark == Mark::waiting) mark = Mark::skipped;
  advance();
}

}  // namespace larkvale
