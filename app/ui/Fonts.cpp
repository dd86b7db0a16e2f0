#include "app/ui/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>

namespace larkvale::ui::Fonts {

namespace {

double points(TextStyle style) {
  switch (style) {
    case TextStyle::largeTitle:
      return 26;
    case TextStyle::title:
      return 22;
    case TextStyle::title2:
      return 17;
    case TextStyle::title3:
      return 15;
    case TextStyle::headline:
    case TextStyle::body:
      return 13;
    case TextStyle::callout:
      return 12;
    case TextStyle::subheadline:
      return 11;
    case TextStyle::footnote:
    case TextStyle::caption:
      return 10;
  }
  return 13;
}

}  // namespace

QFont font(TextStyle style, const QFont& base) {
  return font(style, base, style == TextStyle::headline ? QFont::Bold : base.weight());
}

QFont font(TextStyle style, const QFont& base, QFont::Weight weight) {
  QFont out = base;
  double ratio = points(style) / 13.0;
  if (base.pointSizeF() > 0) {
    out.setPointSizeF(base.pointSizeF() * ratio);
  } else {
    out.setPixelSize(std::max(1, qRound(base.pixelSize() * ratio)));
  }
  out.setWeight(weight);
  return out;
}

bool hasEqualWidthDigits(const QFont& font) {
  QFontMetricsF metrics(font);
  const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
  for (char digit = '1'; digit <= '9'; ++digit) {
    if (!qFuzzyCompare(metrics.horizontalAdvance(QLatin1Char(digit)), zero)) return false;
  }
  return true;
}

QFont equalWidthDigits(const QFont& base) {
  if (hasEqualWidthDigits(base)) return base;
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (base.pointSizeF() > 0) {
    fixed.setPointSizeF(base.pointSizeF());
  } else {
    fixed.setPixelSize(base.pixelSize());
  }
  fixed.setWeight(base.weight());
  fixed.setItalic(base.italic());
  return fixed;
}

}  // namespace larkvale::ui::Fonts
