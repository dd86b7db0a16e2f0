#pragma once
// The named colours the screens tint their symbols, cards, chips and
// counters with, in one place. Each has a light and a dark variant, picked
// by the palette's window colour, so dark themes keep their contrast;
// `accent` is the palette's highlight and `secondary` its dimmed text.
#include <QColor>
#include <QPalette>

#include <optional>
#include <string_view>

namespace larkvale::ui {

enum class Tint {
  red,
  orange,
  yellow,
  green,
  mint,
  teal,
  cyan,
  blue,
  indigo,
  purple,
  pink,
  brown,
  gray,
  accent,
  secondary,
};

namespace Tints {

// The colour of a tint on a palette.
QColor color(Tint tint, const QPalette& palette);

// The tint of a lower-case name ("red" … "gray", "accent", "secondary").
std::optional<Tint> named(std::string_view name);

// The colour with its alpha multiplied by the opacity (0 to 1).
QColor withOpacity(QColor color, double opacity);

// Text that is meant to be dimmed: the palette's text at reduced strength.
QColor secondaryText(const QPalette& palette);

// Whether the palette is a dark one.
bool isDark(const QPalette& palette);

}  // namespace Tints
}  // namespace larkvale::ui
