#include "Pennant/view/MoreAppsRowDelegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>

#include "Pennant/view/MoreAppsListModel.h"

namespace pennant {

namespace {

constexpr int kMarkSize = 16;
constexpr int kSymbolPixels = 20;  // the symbol inside the icon square
const int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QColor lighter(const QColor& color) {
  return color.lighter(118);
}

}  // namespace

MoreAppsRowDelegate::MoreAppsRowDelegate(std::function<QIcon(const QString&)> symbol,
                                         QObject* parent)
    : QStyledItemDelegate(parent), symbol_(std::move(symbol)) {}

QIcon MoreAppsRowDelegate::symbolFor(const QString& name) const {
  QIcon icon = symbol_ ? symbol_(name) : QIcon();
  if (icon.isNull()) icon = symbol_ ? symbol_(QStringLiteral("app.fill")) : QIcon();
  if (icon.isNull()) icon = MoreAppsLook::bundledSymbol(QStringLiteral("app.fill"));
  return icon;
}

QPixmap MoreAppsRowDelegate::symbolPixmap(const QString& name, const QColor& color, int size,
                                          qreal dpr) const {
  QString key = QStringLiteral("%1|%2|%3|%4").arg(name).arg(color.rgba()).arg(size).arg(dpr);
  auto found = pixmaps_.constFind(key);
  if (found != pixmaps_.constEnd()) return *found;
  QPixmap pixmap = MoreAppsLook::tinted(symbolFor(name), color, size, dpr);
  pixmaps_.insert(key, pixmap);
  return pixmap;
}

int MoreAppsRowDelegate::textWidth(const QStyleOptionViewItem& option, const QRect& rect) const {
  int width = rect.width();
  if (auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
    width = view->viewport()->width();
  }
  return std::max(40, width - 2 * inset - iconSize - 2 * spacing - kMarkSize);
}

MoreAppsRowDelegate::Layout MoreAppsRowDelegate::layout(const QStyleOptionViewItem& option,
                                                        const QModelIndex& index,
                                                        const QRect& rect) const {
  const int width = textWidth(option, rect);
  QFontMetrics nameMetrics(MoreAppsLook::headline(option.font));
  QFontMetrics detailMetrics(MoreAppsLook::callout(option.font));
  QRect name = nameMetrics.boundingRect(QRect(0, 0, width, 10000), kTextFlags,
                                        index.data(Qt::DisplayRole).toString());
  QString detail = index.data(MoreAppsListModel::DetailRole).toString();
  QRect detailBox = detail.isEmpty()
                        ? QRect()
                        : detailMetrics.boundingRect(QRect(0, 0, width, 10000), kTextFlags, detail);
  int textHeight = name.height() + (detail.isEmpty() ? 0 : textSpacing + detailBox.height());
  int content = std::max(iconSize, textHeight);
  int top = rect.top() + padding + (content - textHeight) / 2;
  int left = rect.left() + inset + iconSize + spacing;

  Layout out;
  out.icon = QRect(rect.left() + inset, rect.top() + padding + (content - iconSize) / 2, iconSize,
                   iconSize);
  out.name = QRect(left, top, width, name.height());
  out.detail = QRect(left, out.name.bottom() + 1 + textSpacing, width, detailBox.height());
  out.mark = QRect(rect.right() - inset - kMarkSize + 1,
                   rect.top() + padding + (content - kMarkSize) / 2, kMarkSize, kMarkSize);
  return out;
}

QSize MoreAppsRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  Layout box = layout(option, index, QRect(0, 0, option.rect.width(), 0));
  int bottom =
      std::max(box.icon.bottom(), box.detail.isEmpty() ? box.name.bottom() : box.detail.bottom());
  int width = option.rect.width();
  if (auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
    width = view->viewport()->width();
  }
  return {width, bottom + 1 + padding};
}

void MoreAppsRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  const QPalette& palette = option.palette;
  const qreal dpr = painter->device()->devicePixelRatioF();

  // Focus shows only once the keyboard moved it, not when the window opens.
  bool focused =
      (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
  if (focused || (option.state & QStyle::State_MouseOver)) {
    QColor shade = palette.color(QPalette::Highlight);
    shade.setAlphaF(focused ? 0.18 : 0.08);
    QPainterPath hover;
    hover.addRoundedRect(QRectF(option.rect).adjusted(4, 1, -4, -1), 6, 6);
    painter->fillPath(hover, shade);
  }

  Layout box = layout(option, index, option.rect);
  QColor tint =
      MoreAppsLook::tintColor(index.data(MoreAppsListModel::TintRole).toString(), palette);
  QLinearGradient gradient(box.icon.topLeft(), box.icon.bottomLeft());
  gradient.setColorAt(0, lighter(tint));
  gradient.setColorAt(1, tint);
  QPainterPath square;
  square.addRoundedRect(QRectF(box.icon), iconRadius, iconRadius);
  painter->fillPath(square, gradient);

  QPixmap white = symbolPixmap(index.data(MoreAppsListModel::SymbolRole).toString(), Qt::white,
                               kSymbolPixels, dpr);
  QRect symbolRect(0, 0, kSymbolPixels, kSymbolPixels);
  symbolRect.moveCenter(box.icon.center());
  painter->drawPixmap(symbolRect, white);

  painter->setPen(palette.color(QPalette::Text));
  painter->setFont(MoreAppsLook::headline(option.font));
  painter->drawText(box.name, kTextFlags, index.data(Qt::DisplayRole).toString());
  QString detail = index.data(MoreAppsListModel::DetailRole).toString();
  if (!detail.isEmpty()) {
    painter->setPen(MoreAppsLook::secondaryText(palette));
    painter->setFont(MoreAppsLook::callout(option.font));
    painter->drawText(box.detail, kTextFlags, detail);
  }

  QIcon mark = symbol_ ? symbol_(QStringLiteral("arrow.up.forward.app")) : QIcon();
  if (mark.isNull()) mark = MoreAppsLook::bundledSymbol(QStringLiteral("arrow.up.forward.app"));
  painter->drawPixmap(
      box.mark, MoreAppsLook::tinted(mark, palette.color(QPalette::Highlight), kMarkSize, dpr));

  if (index.row() + 1 < index.model()->rowCount()) {
    QColor line = palette.color(QPalette::WindowText);
    line.setAlphaF(0.12);
    painter->setPen(QPen(line, 1));
    int y = option.rect.bottom();
    painter->drawLine(box.name.left(), y, option.rect.right() - inset, y);
  }
  painter->restore();
}

}  // namespace pennant
