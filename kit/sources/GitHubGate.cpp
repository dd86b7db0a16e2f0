#include "kit/sources/GitHubGate.h"

#include <algorithm>

namespace larkvale {

bool GitHubGate::takeTurn() {
  std::lock_guard lock(mutex_);
  if (tripped_ || used_ >= kLimit) return false;
  ++used_;
  return true;
}

void GitHubGate::giveBack() {
  std::lock_guard lock(mutex_);
  used_ = std::max(used_ - 1, 0);
}

void GitHubGate::trip() {
  std::lock_guard lock(mutex_);
  tripped_ = true;
}

int GitHubGate::used() const {
  std::lock_guard lock(mutex_);
  return used_;
}

bool GitHubGate::tripped() const {
  std::lock_guard lock(mutex_);
  return tripped_;
}

}  // namespace larkvale
