#pragma once
// The action behind "Close Window". Main thread only.
#include <functional>

class QWidget;

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

// Gives a window of its own (one without the menu bar, such as a help or
// catalogue window) the "Close Window" key, Ctrl+W, which runs `close` while
// that window is active. Once per window: a second call does nothing.
void addCloseWindowKey(QWidget& window, CloseWindowAction close = CloseWindowAction::standard());

}  // namespace skirting
