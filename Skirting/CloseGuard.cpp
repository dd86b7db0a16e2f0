#include "Skirting/CloseGuard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QThread>

#include "Skirting/WindowReader.h"

namespace skirting {

namespace {

bool hasCloseButton(const QWidget* window) {
  if (!window->isWindow()) return false;
  Qt::WindowFlags flags = window->windowFlags();
  return !(flags & Qt::CustomizeWindowHint) || (flags & Qt::WindowCloseButtonHint);
}

const char* const kGuardProperty = "skirtingCloseGuard";

}  // namespace

CloseGuard::CloseGuard(QObject* parent) : QObject(parent) {
  Q_ASSERT(QThread::currentThread() == qApp->thread());
}

CloseGuard& CloseGuard::shared() {
  static CloseGuard* const guard = new CloseGuard;  // lives for the process
  return *guard;
}

void CloseGuard::attach(QWidget* window) {
  main_ = window;
  if (!window || !hasCloseButton(window)) return;
  if (window->property(kGuardProperty).value<QObject*>() == this) return;
  window->setProperty(kGuardProperty, QVariant::fromValue<QObject*>(this));
  window->installEventFilter(this);
}

bool CloseGuard::closeIfAllowed(QWidget* window) {
  bool allowed = shouldClose();
  if (allowed && window) closeUnasked(window);
  return allowed;
}

void CloseGuard::closeKeyWindow() {
  Q_ASSERT(QThread::currentThread() == qApp->thread());
  QWidget* window = QApplication::activeWindow();
  if (!window) return;
  if (main_ && window == main_) {
    if (shouldClose()) closeUnasked(window);
    return;
  }
  window->close();
}

void CloseGuard::closeClicked(QObject* sender) {
  Q_ASSERT(QThread::currentThread() == qApp->thread());
  auto* view = qobject_cast<QWidget*>(sender);
  QWidget* window = view ? view->window() : main_.data();
  if (!window) return;
  if (shouldClose()) closeUnasked(window);
}

void CloseGuard::closeUnasked(QWidget* window) {
  // The filter lets this one close through without the window's closeEvent,
  // whether or not the window is guarded.
  bool guarded = window->property(kGuardProperty).value<QObject*>() == this;
  if (!guarded) window->installEventFilter(this);
  QWidget* previous = closing_;
  closing_ = window;
  window->close();
  closing_ = previous;
  if (!guarded) window->removeEventFilter(this);
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Close || !watched->isWidgetType()) return false;
  // Consumed either way: an accepted close goes ahead without the window's
  // own closeEvent, an ignored one keeps the window open.
  if (watched == closing_) {
    event->accept();
    return true;
  }
  if (watched->property(kGuardProperty).value<QObject*>() != this) return false;
  event->setAccepted(shouldClose());
  return true;
}

void attachCloseGuard(QWidget* view) {
  new WindowReader([](QWidget* window) { CloseGuard::shared().attach(window); }, view);
}

}  // namespace skirting
