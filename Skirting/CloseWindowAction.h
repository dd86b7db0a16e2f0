#pragma once
// The action behind "Close Window". Main thread only.
#include <functional>

namespace skirting {

struct CloseWindowAction {
  std::function<void()> run;

  // Asks the active window to close, as its close button would: the window
  // (or a guard watching it) may still refuse. Nothing without an active
  // window.
  static CloseWindowAction standard();
  // CloseGuard::shared().closeKeyWindow().
  static CloseWindowAction guarded();
};

}  // namespace skirting
