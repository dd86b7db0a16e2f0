#include "app/ui/DrawnIconStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace larkvale::ui {
namespace {

// Paints one of the drawn icons in the palette's text colour, dimmed when
// disabled; nothing is kept between paints.
class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(QStyle::StandardPixmap kind) : kind_(kind) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const QPalette palette = QGuiApplication::palette();
    QColor color = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                 QPalette::ButtonText);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal side = std::min(box.width(), box.height());
    const QRectF square(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    if (kind_ == QStyle::SP_LineEditClearButton) {
      paintClear(*painter, square, color, palette.color(QPalette::Base));
    } else {
      paintChevrons(*painter, square, color, kind_ == QStyle::SP_ToolBarVerticalExtensionButton);
    }
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap out(size);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return out;
  }

  QIconEngine* clone() const override { return new DrawnIconEngine(kind_); }

  QString key() const override { return QStringLiteral("larkvale.drawn"); }

 private:
  // A filled circle with a cross cut out of it, as a search field's clear
  // button shows.
  static void paintClear(QPainter& painter, const QRectF& box, QColor color, const QColor& cut) {
    const qreal inset = box.width() * 0.125;
    const QRectF circle = box.adjusted(inset, inset, -inset, -inset);
    color.setAlphaF(color.alphaF() * 0.55);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(circle);
    const qreal arm = circle.width() * 0.2;
    const QPointF c = circle.center();
    painter.setPen(
        QPen(cut, std::max<qreal>(1.0, circle.width() / 9), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
    painter.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
  }

  // "»", or the same turned down for a vertical bar.
  static void paintChevrons(QPainter& painter, const QRectF& box, const QColor& color, bool down) {
    const qreal unit = box.width() / 6;
    QPainterPath path;
    for (qreal offset : {-1.5 * unit, 0.5 * unit}) {
      path.moveTo(offset, -2 * unit);
      path.lineTo(offset + unit * 1.5, 0);
      path.lineTo(offset, 2 * unit);
    }
    painter.translate(box.center());
    if (down) painter.rotate(90);
    painter.setPen(
        QPen(color, std::max<qreal>(1.0, unit * 0.6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }

  QStyle::StandardPixmap kind_;
};

}  // namespace

DrawnIconStyle::DrawnIconStyle(QStyle* base) : QProxyStyle(base) {}

bool DrawnIconStyle::draws(StandardPixmap icon) {
  return icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton ||
         icon == SP_LineEditClearButton;
}

QIcon DrawnIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                   const QWidget* widget) const {
  if (draws(icon)) return QIcon(new DrawnIconEngine(icon));
  return QProxyStyle::standardIcon(icon, option, widget);
}

void DrawnIconStyle::install() {
  QStyle* current = QApplication::style();
  if (qobject_cast<DrawnIconStyle*>(current)) return;
  // The proxy adopts the application's style rather than building another.
  QApplication::setStyle(new DrawnIconStyle(current));
}

}  // namespace larkvale::ui
