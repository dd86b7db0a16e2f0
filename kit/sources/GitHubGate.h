#pragma once
// Caps the GitHub lookups of one check and stops them once GitHub has refused
// one. One gate per check, shared by all of its app checks; every member
// function locks, so any thread may call it.
#include <mutex>

namespace larkvale {

class GitHubGate {
 public:
  static constexpr int kLimit = 40;

  // True, and one lookup counted, when not tripped and below the limit.
  bool takeTurn();
  // Uncounts a lookup that was answered from a saved answer.
  void giveBack();
  // GitHub answered 403 or 429: refuse every later turn.
  void trip();

  int used() const;
  bool tripped() const;

 private:
  mutable std::mutex mutex_;
  int used_ = 0;
  bool tripped_ = false;
};

}  // namespace larkvale
