#include "app/screens/updates/UpdateTableDelegate.h"

#include <QApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QtConcurrent/QtConcurrentRun>

#include "app/screens/updates/UpdateTableModel.h"
#include "app/ui/AppIcon.h"
#include "app/ui/Fonts.h"
#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"

namespace larkvale {
namespace {

constexpr int kChipPaddingX = 8;
constexpr int kChipPaddingY = 3;
constexpr int kChipSymbolSpacing = 4;
constexpr int kAppSpacing = 8;
constexpr double kChipFill = 0.12;
constexpr double kPlaceholderScale = 0.8;

struct IconRead {
  QImage image;
  bool exists = false;
};

QFont chipFont(const QFont& base) {
  return ui::Fonts::font(ui::TextStyle::caption, base, QFont::Medium);
}

QColor textColour(const QStyleOptionViewItem& option) {
  return option.palette.color((option.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                      : QPalette::Text);
}

QColor secondaryColour(const QStyleOptionViewItem& option) {
  return ui::Tints::withOpacity(textColour(option), 0.6);
}

}  // namespace

UpdateTableDelegate::UpdateTableDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void UpdateTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem background(option);
  initStyleOption(&background, index);
  background.text.clear();
  background.icon = QIcon();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  switch (index.column()) {
    case UpdateTableModel::appColumn:
      paintApp(painter, option, index);
      break;
    case UpdateTableModel::sourceColumn:
    case UpdateTableModel::statusColumn:
      paintChip(painter, option, index);
      break;
    default:
      paintText(painter, option, index);
      break;
  }
  painter->restore();
}

void UpdateTableDelegate::paintApp(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  const QRect cell = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
  const QString path = index.data(UpdateTableModel::pathRole).toString();
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  QRect iconBox(cell.left(), cell.top() + (cell.height() - iconSize) / 2, iconSize, iconSize);
  QPixmap pixmap = icon(path, dpr);
  if (missing_.contains(path)) {
    const int size = qRound(iconSize * kPlaceholderScale);
    pixmap = ui::Symbols::tinted("app.dashed", secondaryColour(option), size, dpr);
    QRect box(0, 0, size, size);
    box.moveCenter(iconBox.center());
    painter->drawPixmap(box, pixmap);
  } else {
    painter->drawPixmap(iconBox, pixmap);
  }

  const QString mark = index.data(UpdateTableModel::symbolRole).toString();
  const int markSize = option.fontMetrics.height();
  int room = cell.right() - iconBox.right() - kAppSpacing;
  if (!mark.isEmpty()) room -= markSize + kAppSpacing;
  const QString name =
      option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, std::max(0, room));
  QRect nameBox(iconBox.right() + 1 + kAppSpacing, cell.top(), std::max(0, room), cell.height());
  painter->setFont(option.font);
  painter->setPen(textColour(option));
  painter->drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
  if (mark.isEmpty()) return;
  const int x = nameBox.left() + option.fontMetrics.horizontalAdvance(name) + kAppSpacing;
  QPixmap shield = ui::Symbols::tinted(
      mark.toStdString(), ui::Tints::color(ui::Tint::red, option.palette), markSize, dpr);
  painter->drawPixmap(QRect(x, cell.top() + (cell.height() - markSize) / 2, markSize, markSize),
                      shield);
}

void UpdateTableDelegate::paintChip(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const QRect cell = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
  const QFont font = chipFont(option.font);
  const QFontMetrics metrics(font);
  const QString symbol = index.data(UpdateTableModel::symbolRole).toString();
  const auto tint = static_cast<ui::Tint>(index.data(UpdateTableModel::tintRole).toInt());
  // On a selected row the chip takes the selection's text colour, which the
  // highlight never hides.
  const QColor colour = (option.state & QStyle::State_Selected)
                            ? option.palette.color(QPalette::HighlightedText)
                            : ui::Tints::color(tint, option.palette);
  const int symbolSize = metrics.height();
  const int height = metrics.height() + 2 * kChipPaddingY;
  const int fixed = 2 * kChipPaddingX + symbolSize + kChipSymbolSpacing;
  const QString text = metrics.elidedText(index.data().toString(), Qt::ElideRight,
                                          std::max(0, cell.width() - fixed));
  const int width = std::min(cell.width(), fixed + metrics.horizontalAdvance(text) + 1);
  const QRectF capsule(cell.left(), cell.top() + (cell.height() - height) / 2.0, width, height);
  QPainterPath path;
  path.addRoundedRect(capsule, height / 2.0, height / 2.0);
  painter->fillPath(path, ui::Tints::withOpacity(colour, kChipFill));
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  int x = cell.left() + kChipPaddingX;
  const int top = static_cast<int>(capsule.top());
  painter->drawPixmap(QRect(x, top + (height - symbolSize) / 2, symbolSize, symbolSize),
                      ui::Symbols::tinted(symbol.toStdString(), colour, symbolSize, dpr));
  x += symbolSize + kChipSymbolSpacing;
  painter->setFont(font);
  painter->setPen(colour);
  painter->drawText(QRect(x, top, width - (x - cell.left()), height),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void UpdateTableDelegate::paintText(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const QRect cell = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
  QFont font = option.font;
  QColor colour = textColour(option);
  switch (index.column()) {
    case UpdateTableModel::latestColumn:
      if (index.data(UpdateTableModel::emphasisRole).toBool()) {
        font.setWeight(QFont::DemiBold);
        if (!(option.state & QStyle::State_Selected)) {
          colour = ui::Tints::color(ui::Tint::accent, option.palette);
        }
      } else {
        colour = secondaryColour(option);
      }
      break;
    case UpdateTableModel::releasedColumn:
      colour = secondaryColour(option);
      break;
    default:
      break;
  }
  painter->setFont(font);
  painter->setPen(colour);
  const QString text =
      QFontMetrics(font).elidedText(index.data().toString(), Qt::ElideRight, cell.width());
  painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

QSize UpdateTableDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const QFontMetrics& metrics = option.fontMetrics;
  int width = 2 * cellPadding;
  switch (index.column()) {
    case UpdateTableModel::appColumn:
      width += iconSize + kAppSpacing + metrics.horizontalAdvance(index.data().toString());
      if (!index.data(UpdateTableModel::symbolRole).toString().isEmpty()) {
        width += kAppSpacing + metrics.height();
      }
      break;
    case UpdateTableModel::sourceColumn:
    case UpdateTableModel::statusColumn: {
      QFontMetrics chip(chipFont(option.font));
      width += 2 * kChipPaddingX + chip.height() + kChipSymbolSpacing +
               chip.horizontalAdvance(index.data().toString()) + 1;
      break;
    }
    default:
      width += metrics.horizontalAdvance(index.data().toString());
      break;
  }
  return {width, rowHeight};
}

QPixmap UpdateTableDelegate::icon(const QString& path, qreal dpr) const {
  const int pixels = qRound(iconSize * dpr);
  QPixmap pixmap;
  if (QPixmapCache::find(ui::AppIcons::cacheKey(path, pixels), &pixmap)) return pixmap;
  if (!missing_.contains(path)) startLoading(path, pixels, dpr);
  return ui::AppIcons::generic(iconSize, dpr);
}

void UpdateTableDelegate::startLoading(const QString& path, int pixels, qreal dpr) const {
  const QString key = ui::AppIcons::cacheKey(path, pixels);
  if (loading_.contains(key)) return;
  loading_.insert(key);
  auto* self = const_cast<UpdateTableDelegate*>(this);
  auto* watcher = new QFutureWatcher<IconRead>(self);
  connect(watcher, &QFutureWatcherBase::finished, self, [self, watcher, key, path, dpr] {
    watcher->deleteLater();
    self->loading_.remove(key);
    IconRead read = watcher->result();
    if (!read.exists) {
      self->missing_.insert(path);
    } else {
      // An unreadable icon is remembered as the generic one, so it is not
      // read again at every repaint.
      QPixmap pixmap = read.image.isNull() ? ui::AppIcons::generic(iconSize, dpr)
                                           : QPixmap::fromImage(read.image);
      if (!read.image.isNull()) pixmap.setDevicePixelRatio(dpr);
      QPixmapCache::insert(key, pixmap);
    }
    emit self->iconLoaded();
  });
  std::filesystem::path bundle(QFile::encodeName(path).toStdString());
  watcher->setFuture(QtConcurrent::run([bundle, pixels] {
    std::error_code error;
    IconRead read;
    read.exists = std::filesystem::exists(bundle, error);
    if (read.exists) read.image = ui::AppIcons::load(bundle, pixels);
    return read;
  }));
}

}  // namespace larkvale
