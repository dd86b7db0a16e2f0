#include "app/ui/KeptCurrent.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace larkvale::ui {

KeptCurrent::KeptCurrent(QWidget* widget, std::function<void()> update)
    : QObject(widget), update_(std::move(update)), tick_(new QTimer(this)) {
  tick_->setInterval(kTick);
  connect(tick_, &QTimer::timeout, this, [this] { update_(); });
  widget->installEventFilter(this);
  if (widget->isVisible()) tick_->start();
}

bool KeptCurrent::eventFilter(QObject* watched, QEvent* event) {
  // A window shown again shows its children again, each with its own event;
  // one hidden hides them. Both arrive before anything is drawn.
  if (event->type() == QEvent::Show) {
    update_();
    tick_->start();
  } else if (event->type() == QEvent::Hide) {
    tick_->stop();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace larkvale::ui
