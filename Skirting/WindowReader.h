#pragma once
// Reporters of where a view sits. Main thread only.
#include <QPointer>
#include <QWidget>

#include <functional>

class QUndoStack;

namespace skirting {

// An invisible probe that reports the window it is placed in: each time it
// is shown inside a window or moved into another one, `found` gets that
// window.
class WindowReader : public QWidget {
  Q_OBJECT

 public:
  explicit WindowReader(std::function<void(QWidget*)> found, QWidget* parent = nullptr);

  // Replaces the report; when the probe already sits in a window, the new
  // one is told at once.
  void setFound(std::function<void(QWidget*)> found);

 protected:
  bool event(QEvent* event) override;

 private:
  void report();

  std::function<void(QWidget*)> found_;
};

// The undo stack of a window: the QUndoStack that is a direct child of it,
// or null.
QUndoStack* windowUndoStack(QWidget* window);

// Reports the undo stack of the window that shows `view`: once each time the
// view comes on screen, then whenever the window's stack changes (not for
// the value it starts with). Lives as a child of the view.
class WindowUndoManagerReader : public QObject {
  Q_OBJECT

 public:
  WindowUndoManagerReader(QWidget* view, std::function<void(QUndoStack*)> found);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void watch(QWidget* window);
  void recheck();

  QWidget* view_;
  QPointer<QWidget> window_;
  const QUndoStack* current_ = nullptr;  // compared only: it may be gone
  std::function<void(QUndoStack*)> found_;
};

}  // namespace skirting
