#include "app/screens/updates/HistoryViewDelegate.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include "app/screens/updates/HistoryListModel.h"
#include "app/ui/Card.h"
#include "app/ui/Chip.h"
#include "app/ui/Fonts.h"
#include "app/ui/ItemPainting.h"
#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"

namespace larkvale {
namespace {

using ui::Card;
using ui::TextStyle;
using ui::Tint;

// How far a card piece's box reaches past the row it is drawn in, so that
// only the ends of a card get rounded corners.
constexpr int kReach = 4 * Card::radius;

QFont headline(const QFont& base) {
  return ui::Fonts::font(TextStyle::headline, base);
}

QFont chipFont(const QFont& base) {
  return ui::Fonts::font(TextStyle::caption, base, QFont::Medium);
}

bool isEntry(const QModelIndex& index) {
  return index.data(HistoryListModel::KindRole).toInt() == int(HistoryListModel::Kind::entry);
}

// One line of text with bold ranges; cut off with "…" to fit `width`.
std::unique_ptr<QTextLayout> fittedLine(const HistoryListModel::RowText& row, const QFont& font,
                                        qreal width) {
  auto make = [&](int length, bool cut) {
    QString text = row.text.left(length);
    if (cut) text += QChar(0x2026);
    auto layout = std::make_unique<QTextLayout>(text, font);
    QList<QTextLayout::FormatRange> formats;
    for (const auto& [start, count] : row.bold) {
      int end = std::min(start + count, length);
      if (end <= start) continue;
      QTextCharFormat bold;
      bold.setFontWeight(QFont::Bold);
      formats.append({start, end - start, bold});
    }
    layout->setFormats(formats);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    line.setLineWidth(1e6);
    layout->endLayout();
    return layout;
  };
  auto whole = make(int(row.text.size()), false);
  if (whole->lineAt(0).naturalTextWidth() <= width) return whole;
  int low = 0;
  int high = int(row.text.size());
  while (low < high) {
    int mid = (low + high + 1) / 2;
    if (make(mid, true)->lineAt(0).naturalTextWidth() <= width) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  while (low > 0 && !whole->isValidCursorPosition(low)) --low;
  return make(low, true);
}

}  // namespace

int HistoryViewDelegate::entryLineHeight(const QFont& font) const {
  int chip = QFontMetrics(chipFont(font)).height() + 2 * ui::Chip::verticalPadding;
  return std::max(QFontMetrics(font).height(), chip);
}

QSize HistoryViewDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  // No width of its own: the list gives every row its whole width.
  if (!isEntry(index)) {
    return {0, Card::padding + QFontMetrics(headline(option.font)).height() + Card::contentSpacing};
  }
  bool last = index.data(HistoryListModel::LastInDayRole).toBool();
  return {0, entryLineHeight(option.font) + (last ? Card::padding + kCardGap : kRowSpacing)};
}

void HistoryViewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  painter->save();
  painter->setClipRect(option.rect);
  painter->setRenderHint(QPainter::Antialiasing);
  paintCardPiece(painter, option, index);
  if (isEntry(index)) {
    paintEntry(painter, option, index);
  } else {
    paintDay(painter, option, index);
  }
  painter->restore();
}

void HistoryViewDelegate::paintCardPiece(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
  const QRect& r = option.rect;
  int top = r.top() - kReach;
  int bottom = r.bottom() + kReach;
  if (!isEntry(index)) top = r.top();
  if (isEntry(index) && index.data(HistoryListModel::LastInDayRole).toBool()) {
    bottom = r.top() + entryLineHeight(option.font) + Card::padding;
  }
  QRectF box = QRectF(r.left(), top, r.width(), bottom - top).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(box, Card::radius - 0.5, Card::radius - 0.5);
  QColor tint = ui::Tints::color(Tint::accent, option.palette);
  painter->fillPath(path, ui::Tints::withOpacity(tint, Card::fillOpacity));
  painter->strokePath(path, QPen(ui::Tints::withOpacity(tint, Card::borderOpacity), 1));
}

void HistoryViewDelegate::paintDay(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QFont font = headline(option.font);
  QFontMetrics metrics(font);
  const int size = metrics.height();
  const QRect& r = option.rect;
  int x = r.left() + Card::padding;
  int y = r.top() + Card::padding;
  QColor accent = ui::Tints::color(Tint::accent, option.palette);
  painter->drawPixmap(QRect(x, y, size, size),
                      symbol("calendar", accent, size, painter->device()->devicePixelRatioF()));
  x += size + Card::headingSpacing;
  painter->setFont(font);
  painter->setPen(option.palette.color(QPalette::WindowText));
  QString title =
      metrics.elidedText(index.data().toString(), Qt::ElideRight, r.right() - Card::padding - x);
  painter->drawText(QRect(x, y, r.right() - Card::padding - x, size),
                    Qt::AlignLeft | Qt::AlignVCenter, title);
}

void HistoryViewDelegate::paintEntry(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
  const QRect& r = option.rect;
  const int lineHeight = entryLineHeight(option.font);
  const int centreY = r.top() + lineHeight / 2;
  const int size = QFontMetrics(option.font).height();
  int x = r.left() + Card::padding;
  QColor accent = ui::Tints::color(Tint::accent, option.palette);
  painter->drawPixmap(
      QRect(x, centreY - size / 2, size, size),
      symbol("arrow.up.circle.fill", accent, size, painter->device()->devicePixelRatioF()));
  x += size + kItemSpacing;

  int chipWidth = paintChip(painter, option, index.data(HistoryListModel::SourceRole).toString(),
                            r.right() - Card::padding, centreY);
  qreal room = r.right() - Card::padding - chipWidth - kItemSpacing - x;
  auto row = HistoryListModel::rowText(index.data(HistoryListModel::NameRole).toString(),
                                       index.data(HistoryListModel::FromRole).toString(),
                                       index.data(HistoryListModel::ToRole).toString());
  auto line = fittedLine(row, option.font, std::max<qreal>(room, 0));
  painter->setPen(option.palette.color(QPalette::WindowText));
  line->draw(painter, QPointF(x, centreY - line->lineAt(0).height() / 2));
}

int HistoryViewDelegate::paintChip(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QString& text, int right, int centreY) const {
  const QSize size = ui::chipSize(text, QString(), option.font);
  ui::paintChip(
      painter,
      QRect(right - size.width(), centreY - size.height() / 2, size.width(), size.height()), text,
      QString(), ui::Tints::color(Tint::secondary, option.palette), option.font);
  return size.width();
}

QPixmap HistoryViewDelegate::symbol(const char* name, const QColor& color, int size,
                                    qreal ratio) const {
  QString key =
      QStringLiteral("%1|%2|%3|%4").arg(QLatin1String(name)).arg(color.rgba()).arg(size).arg(ratio);
  auto found = symbols_.constFind(key);
  if (found != symbols_.constEnd()) return *found;
  QPixmap pixmap = ui::Symbols::tinted(name, color, size, ratio);
  symbols_.insert(key, pixmap);
  return pixmap;
}

}  // namespace larkvale
