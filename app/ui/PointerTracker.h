#pragma once
// Where the pointer is over an item view and where its left button went
// down, for delegates that paint buttons and links inside rows: they ask
// for the look of a control's rectangle and draw it hovered or pressed as
// a real button would be. The tracker repaints the rows under the pointer
// as it moves, enters, leaves, presses and releases; it never takes an
// event from the view. Main thread.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QStyle>

#include <optional>

class QAbstractItemView;
class QPainter;
class QPalette;
class QWidget;

namespace larkvale::ui {

enum class ControlLook { normal, hovered, pressed };

class PointerTracker : public QObject {
  Q_OBJECT

 public:
  // The view's tracker, made on first call (owned by the view).
  static PointerTracker* track(QAbstractItemView* view);
  // The look of a control at rect (viewport coordinates) in the view that
  // a delegate paints for (its option's widget): pressed while the left
  // button went down inside it and the pointer is still there, hovered
  // while the pointer is over it, else normal. Normal for a view without a
  // tracker.
  static ControlLook look(const QWidget* view, const QRect& rect);

  std::optional<QPoint> hover() const { return hover_; }
  std::optional<QPoint> pressedAt() const { return pressed_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit PointerTracker(QAbstractItemView* view);
  void repaintAt(const std::optional<QPoint>& point) const;

  QAbstractItemView* view_;
  // Kept apart from view_: while the view is being destroyed its viewport
  // still sends events, and the view may no longer be asked for it.
  QWidget* viewport_;
  std::optional<QPoint> hover_;
  std::optional<QPoint> pressed_;
};

// The style state of a painted push button in a look: raised, hovered or
// sunken.
QStyle::State buttonState(ControlLook look);

// A link's text in the palette's link colour (its highlight), underlined
// while hovered and deeper while pressed; on one line, cut to the rect.
void paintLink(QPainter* painter, const QRect& rect, const QString& text, const QPalette& palette,
               ControlLook look);

// What a borderless button shows behind its symbol: nothing at rest, a
// faint rounded backdrop while hovered and a stronger one while pressed.
void paintBorderlessBackdrop(QPainter* painter, const QRect& rect, const QPalette& palette,
                             ControlLook look);

}  // namespace larkvale::ui
