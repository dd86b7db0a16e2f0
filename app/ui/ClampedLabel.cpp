#include "app/ui/ClampedLabel.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QTextLayout>

#include <algorithm>

namespace larkvale::ui {

namespace {

// Wide enough for a few characters and the ellipsis.
constexpr int kNarrowest = 40;
// A natural width for wrapped text before any layout has offered one.
constexpr int kPreferredWrapWidth = 420;

}  // namespace

ClampedLabel::ClampedLabel(const QString& text, int maxLines, QWidget* parent)
    : QWidget(parent), text_(text), maxLines_(std::max(1, maxLines)) {
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(maxLines_ > 1);
  setSizePolicy(policy);
  setAccessibleName(text_);
}

void ClampedLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  setAccessibleName(text_);
  updateGeometry();
  update();
}

void ClampedLabel::setElideMode(Qt::TextElideMode mode) {
  if (mode == elideMode_) return;
  elideMode_ = mode;
  update();
}

QStringList ClampedLabel::linesAt(int width) const {
  QFontMetrics metrics(font());
  width = std::max(1, width);
  if (maxLines_ == 1) {
    QString flat = text_;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return {metrics.elidedText(flat, elideMode_, width)};
  }
  QTextLayout layout(text_, font());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    if (lines.size() + 1 == maxLines_) {
      QString rest = text_.mid(line.textStart());
      rest.replace(QLatin1Char('\n'), QLatin1Char(' '));
      lines << metrics.elidedText(rest, elideMode_, width);
      break;
    }
    lines << text_.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  return lines;
}

int ClampedLabel::heightForWidth(int width) const {
  int lines = static_cast<int>(std::max<qsizetype>(1, linesAt(width).size()));
  return lines * QFontMetrics(font()).lineSpacing();
}

QSize ClampedLabel::sizeHint() const {
  QFontMetrics metrics(font());
  int natural = metrics.horizontalAdvance(text_) + 1;
  int width = maxLines_ == 1 ? natural : std::min(natural, kPreferredWrapWidth);
  return {width, maxLines_ == 1 ? metrics.height() : heightForWidth(width)};
}

QSize ClampedLabel::minimumSizeHint() const {
  QFontMetrics metrics(font());
  return {std::min(kNarrowest, sizeHint().width()), metrics.height()};
}

void ClampedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  QFontMetrics metrics(font());
  int y = 0;
  for (const QString& line : linesAt(width())) {
    painter.drawText(QRect(0, y, width(), metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     line);
    y += metrics.lineSpacing();
  }
  if (hasFocus()) {
    QStyleOptionFocusRect ring;
    ring.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &ring, &painter, this);
  }
}

}  // namespace larkvale::ui
