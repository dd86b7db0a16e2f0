#include "app/ui/ItemPainting.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QTextLayout>

#include <optional>

#include "app/ui/AppIcon.h"
#include "app/ui/Fonts.h"
#include "app/ui/Symbols.h"

namespace larkvale::ui {
namespace {

constexpr int kChipPaddingX = 8;
constexpr int kChipPaddingY = 3;
constexpr int kChipSymbolSpacing = 4;
constexpr double kChipFill = 0.12;
constexpr double kPlaceholderScale = 0.8;

QFont chipFont(const QFont& base) {
  return Fonts::font(TextStyle::caption, base, QFont::Medium);
}

}  // namespace

int TextWidths::advance(const QFont& font, const QString& text) const {
  QHash<QString, int>& known = widths_[font.key()];
  if (auto found = known.constFind(text); found != known.constEnd()) return *found;
  if (known.size() > kBound) known.clear();
  return *known.insert(text, QFontMetrics(font).horizontalAdvance(text));
}

QStringList wrapLines(const QString& text, const QFont& font, int width, int maxLines,
                      const TextWidths* widths) {
  QStringList lines;
  if (text.isEmpty()) return lines;
  width = std::max(width, 1);
  // Most texts fit on one line; measuring them is much cheaper than
  // laying them out.
  if (!text.contains(QLatin1Char('\n')) &&
      (widths ? widths->advance(font, text) : QFontMetrics(font).horizontalAdvance(text)) < width) {
    return {text};
  }
  // Line breaks in the text start new lines.
  QString laidOut = text;
  laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(laidOut, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  int lastStart = 0;
  bool cut = false;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    if (maxLines > 0 && lines.size() == maxLines) {
      cut = true;
      break;
    }
    lastStart = line.textStart();
    QString shown = laidOut.mid(line.textStart(), line.textLength());
    if (shown.endsWith(QChar::LineSeparator)) shown.chop(1);
    lines << shown;
  }
  layout.endLayout();
  if (cut) {
    // The last line takes what is left over and is cut off with "…".
    QString rest = laidOut.mid(lastStart);
    rest.replace(QChar::LineSeparator, QLatin1Char(' '));
    lines.last() = QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
  }
  return lines;
}

int drawLines(QPainter* painter, const QRect& box, const QStringList& lines, const QFont& font) {
  const QFontMetrics metrics(font);
  painter->setFont(font);
  int y = box.top();
  for (const QString& line : lines) {
    painter->drawText(QRect(box.left(), y, box.width(), metrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
    y += metrics.lineSpacing();
  }
  return lines.isEmpty() ? 0 : metrics.lineSpacing() * static_cast<int>(lines.size());
}

QSize chipSize(const QString& text, const QString& symbol, const QFont& base) {
  const QFontMetrics metrics(chipFont(base));
  // A little room over the advance, so that rounding never cuts the text.
  int width = 2 * kChipPaddingX + metrics.horizontalAdvance(text) + 2;
  if (!symbol.isEmpty()) width += metrics.height() + kChipSymbolSpacing;
  return {width, metrics.height() + 2 * kChipPaddingY};
}

void paintChip(QPainter* painter, const QRect& box, const QString& text, const QString& symbol,
               const QColor& colour, const QFont& base) {
  const QFont font = chipFont(base);
  const QFontMetrics metrics(font);
  const QSize size = chipSize(text, symbol, base);
  QRect chip(box.left(), box.top() + (box.height() - size.height()) / 2,
             std::min(size.width(), box.width()), size.height());
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  QPainterPath capsule;
  capsule.addRoundedRect(QRectF(chip), chip.height() / 2.0, chip.height() / 2.0);
  painter->fillPath(capsule, Tints::withOpacity(colour, kChipFill));
  int x = chip.left() + kChipPaddingX;
  const int symbolSize = metrics.height();
  if (!symbol.isEmpty()) {
    paintSymbol(painter, QRect(x, chip.top() + kChipPaddingY, symbolSize, symbolSize), symbol,
                colour);
    x += symbolSize + kChipSymbolSpacing;
  }
  const int room = std::max(0, chip.right() - kChipPaddingX - x + 1);
  painter->setFont(font);
  painter->setPen(colour);
  painter->drawText(QRect(x, chip.top(), room, chip.height()),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    metrics.elidedText(text, Qt::ElideRight, room));
  painter->restore();
}

void paintSymbol(QPainter* painter, const QRect& box, const QString& symbol, const QColor& colour) {
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const int size = std::min(box.width(), box.height());
  QPixmap image = Symbols::tinted(symbol.toStdString(), colour, size, dpr);
  QRect target(0, 0, size, size);
  target.moveCenter(box.center());
  painter->drawPixmap(target, image);
}

std::optional<QPixmap> IconSource::icon(const QString& path, int size, qreal devicePixelRatio) {
  if (path.isEmpty() || missing_.contains(path)) return std::nullopt;
  if (!present_.contains(path)) {
    if (!QFileInfo::exists(path)) {
      missing_.insert(path);
      return std::nullopt;
    }
    present_.insert(path);
  }
  const int pixels = qRound(size * devicePixelRatio);
  const QString key = AppIcons::cacheKey(path, pixels);
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;
  if (!loading_.contains(key)) {
    loading_.insert(key);
    AppIcons::loadLater(path, size, devicePixelRatio, this, [this, key, path](bool found) {
      loading_.remove(key);
      if (!found) {
        // Gone since it was seen: drawn as missing rather than read again.
        present_.remove(path);
        missing_.insert(path);
      }
      emit loaded();
    });
  }
  return AppIcons::generic(size, devicePixelRatio);
}

void paintAppIcon(QPainter* painter, const QRect& box, IconSource& icons, const QString& path,
                  const QColor& placeholder) {
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const int size = std::min(box.width(), box.height());
  QRect square(0, 0, size, size);
  square.moveCenter(box.center());
  if (std::optional<QPixmap> icon = icons.icon(path, size, dpr)) {
    painter->drawPixmap(square, *icon);
    return;
  }
  const int dashed = qRound(size * kPlaceholderScale);
  QRect inner(0, 0, dashed, dashed);
  inner.moveCenter(square.center());
  paintSymbol(painter, inner, QStringLiteral("app.dashed"), placeholder);
}

}  // namespace larkvale::ui
