#include "Skirting/WindowReader.h"

#include <QEvent>
#include <QUndoStack>

namespace skirting {

WindowReader::WindowReader(std::function<void(QWidget*)> found, QWidget* parent)
    : QWidget(parent), found_(std::move(found)) {
  setFixedSize(0, 0);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  if (parent && parent->isVisible()) show();
}

void WindowReader::setFound(std::function<void(QWidget*)> found) {
  found_ = std::move(found);
  report();
}

bool WindowReader::event(QEvent* event) {
  bool handled = QWidget::event(event);
  if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange) report();
  return handled;
}

void WindowReader::report() {
  if (found_ && parentWidget()) found_(window());
}

QUndoStack* windowUndoStack(QWidget* window) {
  return window ? window->findChild<QUndoStack*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

WindowUndoManagerReader::WindowUndoManagerReader(QWidget* view,
                                                 std::function<void(QUndoStack*)> found)
    : QObject(view), view_(view), found_(std::move(found)) {
  view->installEventFilter(this);
  watch(view->window());
}

void WindowUndoManagerReader::watch(QWidget* window) {
  if (window_ == window) return;
  if (window_ && window_ != view_) window_->removeEventFilter(this);
  window_ = window;
  if (window_ && window_ != view_) window_->installEventFilter(this);
  current_ = windowUndoStack(window_);
}

bool WindowUndoManagerReader::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_) {
    if (event->type() == QEvent::ParentChange) {
      watch(view_->window());
    } else if (event->type() == QEvent::Show) {
      watch(view_->window());
      QUndoStack* stack = windowUndoStack(window_);
      current_ = stack;
      if (found_) found_(stack);
    }
  }
  if (watched == window_ &&
      (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)) {
    recheck();
  }
  return false;
}

void WindowUndoManagerReader::recheck() {
  // A child being added is not fully made yet; look again once it is.
  QMetaObject::invokeMethod(
      this,
      [this] {
        QUndoStack* now = windowUndoStack(window_);
        if (now == current_) return;
        current_ = now;
        if (found_) found_(now);
      },
      Qt::QueuedConnection);
}

}  // namespace skirting
