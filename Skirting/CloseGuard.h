#pragma once
// A guard for a main window that must be asked before it closes. Once a
// window is attached, every attempt to close it (its close button, the
// window manager, a close() call) asks shouldClose first; when that says
// no the window stays open and nothing is reported, so telling the user why
// is up to shouldClose. When it says yes the window closes without asking
// its own closeEvent again.
//
// Main thread only. One shared guard lives for the process (shared()); more
// can be made, each with its own shouldClose and main window.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace skirting {

class CloseGuard : public QObject {
  Q_OBJECT

 public:
  explicit CloseGuard(QObject* parent = nullptr);

  // The guard the module's conveniences use; made on first use, never freed.
  static CloseGuard& shared();

  // Asked before a guarded window closes; answers true until replaced.
  std::function<bool()> shouldClose = [] { return true; };

  // The window attached last; empty again once that window is destroyed.
  QWidget* main() const { return main_; }
  void setMain(QWidget* window) { main_ = window; }

  // Makes the window main (always) and routes its closing through the guard,
  // unless it has no close button or is routed here already.
  void attach(QWidget* window);

  // Closes the window when shouldClose allows; returns the answer.
  bool closeIfAllowed(QWidget* window);

  // The guarded counterpart of the standard "Close Window": the active window,
  // when it is main, closes only if shouldClose allows; any other active
  // window is asked to close as its close button would ask it.
  void closeKeyWindow();

 public slots:
  // A guarded close button was pressed. The window is the sender's window
  // when the sender is a widget, else main; nothing happens without one.
  void closeClicked(QObject* sender = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void closeUnasked(QWidget* window);

  QPointer<QWidget> main_;
  QWidget* closing_ = nullptr;  // the window closeUnasked is closing
};

// Attaches the shared guard to whichever window shows `view`, once the view
// is in one (through a WindowReader placed in the view).
void attachCloseGuard(QWidget* view);

}  // namespace skirting
