#include "Pennant/view/MoreAppsLook.h"

#include <QDesktopServices>
#include <QImage>

#include <algorithm>

#include <array>
#include <utility>

namespace pennant {

MoreAppsHooks::MoreAppsHooks()
    : symbol(MoreAppsLook::bundledSymbol),
      openURL([](const QUrl& url) { QDesktopServices::openUrl(url); }) {}

namespace MoreAppsLook {

namespace {

struct Tint {
  const char* name;
  QRgb light;
  QRgb dark;
};

// The platform's standard colours of the feed's tint names.
constexpr std::array<Tint, 13> kTints = {{
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

bool isDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < 128;
}

// Body text is 13 points where these sizes were drawn up; the others keep
// their proportion to it whatever the desktop's font size.
QFont scaled(const QFont& base, double size, QFont::Weight weight) {
  QFont font = base;
  double body = base.pointSizeF() > 0 ? base.pointSizeF() : 10;
  font.setPointSizeF(body * size / 13.0);
  font.setWeight(weight);
  return font;
}

// Symbol images are dark marks on a transparent ground; light parts inside
// them (the arrow in a filled circle) are holes. Each pixel takes the colour,
// its coverage scaled down as it gets lighter, so holes stay holes and
// antialiased edges stay smooth.
QImage colourised(const QImage& source, const QColor& color) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const QRgb tint = color.rgb();
  const double tintAlpha = color.alphaF();
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb pixel = line[x];
      if (qAlpha(pixel) == 0) continue;
      double lightness = (0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel)) / 255;
      double solid = std::clamp((0.9 - lightness) / 0.5, 0.0, 1.0);
      int alpha = qRound(qAlpha(pixel) * solid * tintAlpha);
      line[x] = qRgba(qRed(tint), qGreen(tint), qBlue(tint), alpha);
    }
  }
  return image;
}

}  // namespace

QColor tintColor(const QString& tint, const QPalette& palette) {
  const Tint* blue = &kTints[7];
  const Tint* found = blue;
  for (const Tint& t : kTints) {
    if (tint == QLatin1String(t.name)) found = &t;
  }
  return QColor::fromRgb(isDark(palette) ? found->dark : found->light);
}

QIcon bundledSymbol(const QString& name) {
  static const std::array<std::pair<const char*, const char*>, 3> kShipped = {{
      {"app.fill", ":/pennant/icons/app.fill.svg"},
      {"square.grid.2x2.fill", ":/pennant/icons/square.grid.2x2.fill.svg"},
      {"arrow.up.forward.app", ":/pennant/icons/arrow.up.forward.app.svg"},
  }};
  for (const auto& [symbol, file] : kShipped) {
    if (name == QLatin1String(symbol)) return QIcon(QString::fromLatin1(file));
  }
  return {};
}

QPixmap tinted(const QIcon& icon, const QColor& color, int size, qreal devicePixelRatio) {
  QPixmap pixmap = icon.pixmap(QSize(size, size), devicePixelRatio);
  if (pixmap.isNull()) return pixmap;
  QPixmap out = QPixmap::fromImage(colourised(pixmap.toImage(), color));
  out.setDevicePixelRatio(pixmap.devicePixelRatio());
  return out;
}

QFont headline(const QFont& base) {
  return scaled(base, 13, QFont::Bold);
}
QFont callout(const QFont& base) {
  return scaled(base, 12, QFont::Normal);
}
QFont caption(const QFont& base) {
  return scaled(base, 10, QFont::Normal);
}

QColor secondaryText(const QPalette& palette) {
  QColor color = palette.color(QPalette::WindowText);
  color.setAlphaF(0.6);
  return color;
}

}  // namespace MoreAppsLook
}  // namespace pennant
