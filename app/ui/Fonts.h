#pragma once
// The text styles of the screens, in proportion to the desktop's own font:
// body is the application font, the others keep the ratio they have to a
// 13-point body (a large title is twice it, a caption a little smaller).
#include <QFont>

namespace larkvale::ui {

enum class TextStyle {
  largeTitle,   // 26
  title,        // 22
  title2,       // 17
  title3,       // 15
  headline,     // 13, bold
  body,         // 13
  callout,      // 12
  subheadline,  // 11
  footnote,     // 10
  caption,      // 10
};

namespace Fonts {

// The style on top of a base font (normally the widget's font).
QFont font(TextStyle style, const QFont& base);
// The same with a given weight.
QFont font(TextStyle style, const QFont& base, QFont::Weight weight);

// `base` when all its digits are as wide as each other, else the desktop's
// fixed-pitch font at the same size and weight: version numbers stacked in
// a column line up digit under digit.
QFont equalWidthDigits(const QFont& base);
// Whether the ten digits of the font have one advance width.
bool hasEqualWidthDigits(const QFont& font);

}  // namespace Fonts
}  // namespace larkvale::ui
