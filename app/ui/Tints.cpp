#include "app/ui/Tints.h"

#include <array>

#include "Pennant/view/MoreAppsLook.h"

namespace larkvale::ui::Tints {

namespace {

// In the order of Tint; the catalogue knows their colours.
constexpr std::array<std::string_view, 13> kNames = {"red",  "orange", "yellow", "green",  "mint",
                                                     "teal", "cyan",   "blue",   "indigo", "purple",
                                                     "pink", "brown",  "gray"};

}  // namespace

bool isDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < 128;
}

QColor color(Tint tint, const QPalette& palette) {
  switch (tint) {
    case Tint::accent:
      return palette.color(QPalette::Highlight);
    case Tint::secondary:
      return secondaryText(palette);
    default: {
      const std::string_view name = kNames[static_cast<size_t>(tint)];
      return pennant::MoreAppsLook::tintColor(
          QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), palette);
    }
  }
}

std::optional<Tint> named(std::string_view name) {
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) return static_cast<Tint>(i);
  }
  if (name == "accent") return Tint::accent;
  if (name == "secondary") return Tint::secondary;
  return std::nullopt;
}

QColor withOpacity(QColor color, double opacity) {
  color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
  return color;
}

QColor secondaryText(const QPalette& palette) {
  return withOpacity(palette.color(QPalette::WindowText), 0.6);
}

}  // namespace larkvale::ui::Tints
