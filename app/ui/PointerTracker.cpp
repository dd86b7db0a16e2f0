#include "app/ui/PointerTracker.h"

#include <QAbstractItemView>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "app/ui/Tints.h"

namespace larkvale::ui {

PointerTracker::PointerTracker(QAbstractItemView* view)
    : QObject(view), view_(view), viewport_(view->viewport()) {
  setObjectName(QStringLiteral("pointerTracker"));
  view->viewport()->setMouseTracking(true);
  view->viewport()->installEventFilter(this);
}

PointerTracker* PointerTracker::track(QAbstractItemView* view) {
  if (auto* known = view->findChild<PointerTracker*>(QStringLiteral("pointerTracker"),
                                                     Qt::FindDirectChildrenOnly)) {
    return known;
  }
  return new PointerTracker(view);
}

ControlLook PointerTracker::look(const QWidget* view, const QRect& rect) {
  if (!view || rect.isEmpty()) return ControlLook::normal;
  const auto* tracker = view->findChild<const PointerTracker*>(QStringLiteral("pointerTracker"),
                                                               Qt::FindDirectChildrenOnly);
  if (!tracker || !tracker->hover_ || !rect.contains(*tracker->hover_)) return ControlLook::normal;
  if (tracker->pressed_ && rect.contains(*tracker->pressed_)) return ControlLook::pressed;
  return ControlLook::hovered;
}

void PointerTracker::repaintAt(const std::optional<QPoint>& point) const {
  if (!point) return;
  const QModelIndex index = view_->indexAt(*point);
  if (index.isValid()) view_->viewport()->update(view_->visualRect(index));
}

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
  if (watched != viewport_) return false;
  if (event->type() == QEvent::Leave || event->type() == QEvent::Hide) {
    // The view may be half destroyed by now, so it isn't asked for
    // anything; a hidden viewport needs no repaint.
    if (event->type() == QEvent::Leave && (hover_ || pressed_)) viewport_->update();
    hover_.reset();
    pressed_.reset();
    return false;
  }
  const std::optional<QPoint> hoverBefore = hover_;
  const std::optional<QPoint> pressedBefore = pressed_;
  switch (event->type()) {
    case QEvent::Enter:
      hover_ = static_cast<QEnterEvent*>(event)->position().toPoint();
      break;
    case QEvent::MouseMove:
      hover_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      hover_ = mouse->position().toPoint();
      if (mouse->button() == Qt::LeftButton) pressed_ = hover_;
      break;
    }
    case QEvent::MouseButtonRelease:
      hover_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) pressed_.reset();
      break;
    default:
      return false;
  }
  if (hover_ != hoverBefore || pressed_ != pressedBefore) {
    repaintAt(hoverBefore);
    repaintAt(hover_);
  }
  return false;
}

QStyle::State buttonState(ControlLook look) {
  QStyle::State state = QStyle::State_Enabled;
  switch (look) {
    case ControlLook::normal:
      return state | QStyle::State_Raised;
    case ControlLook::hovered:
      return state | QStyle::State_Raised | QStyle::State_MouseOver;
    case ControlLook::pressed:
      return state | QStyle::State_Sunken | QStyle::State_MouseOver;
  }
  return state;
}

void paintLink(QPainter* painter, const QRect& rect, const QString& text, const QPalette& palette,
               ControlLook look) {
  painter->save();
  QColor colour = palette.color(QPalette::Highlight);
  if (look == ControlLook::pressed) {
    colour = Tints::isDark(palette) ? colour.lighter(140) : colour.darker(150);
  }
  QFont font = painter->font();
  font.setUnderline(look != ControlLook::normal);
  painter->setFont(font);
  painter->setPen(colour);
  painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  painter->restore();
}

void paintBorderlessBackdrop(QPainter* painter, const QRect& rect, const QPalette& palette,
                             ControlLook look) {
  if (look == ControlLook::normal) return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRoundedRect(QRectF(rect), 4, 4);
  const double opacity = look == ControlLook::pressed ? 0.22 : 0.1;
  painter->fillPath(box, Tints::withOpacity(palette.color(QPalette::WindowText), opacity));
  painter->restore();
}

}  // namespace larkvale::ui
