#include "app/ui/Tints.h"

#include <array>

namespace larkvale::ui::Tints {

namespace {

struct Named {
  std::string_view name;
  QRgb light;
  QRgb dark;
};

// In the order of Tint; the platform's standard colours of these names.
constexpr std::array<Named, 13> kColours = {{
    {"red", 0xFF3B30, 0xFF453A},
    {"orange", 0xFF9500, 0xFF9F0A},
    {"yellow", 0xFFCC00, 0xFFD60A},
    {"green", 0x34C759, 0x30D158},
    {"mint", 0x00C7BE, 0x63E6E2},
    {"teal", 0x30B0C7, 0x40C8E0},
    {"cyan", 0x32ADE6, 0x64D2FF},
    {"blue", 0x007AFF, 0x0A84FF},
    {"indigo", 0x5856D6, 0x5E5CE6},
    {"purple", 0xAF52DE, 0xBF5AF2},
    {"pink", 0xFF2D55, 0xFF375F},
    {"brown", 0xA2845E, 0xAC8E68},
    {"gray", 0x8E8E93, 0x98989D},
}};

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
      const Named& named = kColours[static_cast<size_t>(tint)];
      return QColor::fromRgb(isDark(palette) ? named.dark : named.light);
    }
  }
}

std::optional<Tint> named(std::string_view name) {
  for (size_t i = 0; i < kColours.size(); ++i) {
    if (kColours[i].name == name) return static_cast<Tint>(i);
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
