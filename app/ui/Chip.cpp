#include "app/ui/Chip.h"

#include <QPainter>

#include "app/ui/Fonts.h"
#include "app/ui/ItemPainting.h"

namespace larkvale::ui {

Chip::Chip(const QString& text, std::optional<QString> symbol, Tint tint, QWidget* parent)
    : QWidget(parent), text_(text), symbol_(std::move(symbol)), tint_(tint) {
  setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  setAccessibleName(text_);
}

QFont Chip::chipFont() const {
  return Fonts::font(TextStyle::caption, font(), QFont::Medium);
}

int Chip::symbolSize() const {
  return symbol_ ? QFontMetrics(chipFont()).height() : 0;
}

int Chip::textRoom() const {
  int used = 2 * horizontalPadding + (symbol_ ? symbolSize() + symbolSpacing : 0);
  return std::max(0, width() - used);
}

QString Chip::shownText() const {
  return QFontMetrics(chipFont()).elidedText(text_, Qt::ElideRight, textRoom());
}

QSize Chip::sizeHint() const {
  QFontMetrics metrics(chipFont());
  int width = 2 * horizontalPadding + metrics.horizontalAdvance(text_) +
              (symbol_ ? symbolSize() + symbolSpacing : 0);
  return {width + 1, metrics.height() + 2 * verticalPadding};
}

QSize Chip::minimumSizeHint() const {
  QFontMetrics metrics(chipFont());
  int width = 2 * horizontalPadding + (symbol_ ? symbolSize() + symbolSpacing : 0) +
              metrics.horizontalAdvance(QStringLiteral("…"));
  return {std::min(width, sizeHint().width()), sizeHint().height()};
}

void Chip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintChip(&painter, rect(), text_, symbol_.value_or(QString()), Tints::color(tint_, palette()),
            font());
}

}  // namespace larkvale::ui
