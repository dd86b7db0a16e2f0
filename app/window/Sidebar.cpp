#include "app/window/Sidebar.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QStyledItemDelegate>

#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"
#include "app/window/SidebarModel.h"

namespace larkvale {
namespace {

constexpr int kRowHeight = 28;
constexpr int kBadgeMargin = 6;
constexpr int kIconSize = 16;
constexpr int kRowInset = 6;  // pane rows sit inside the column, highlight and all

// Draws section headers as small captions and puts each pane's count in a
// capsule at the trailing edge, the title making room for it.
class SidebarDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.data(SidebarModel::headerRole).toBool()) {
      return {size.width(), QFontMetrics(headerFont(option.font)).height() + 14};
    }
    return {size.width(), std::max(size.height(), kRowHeight)};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (index.data(SidebarModel::headerRole).toBool()) {
      paintHeader(painter, option, index);
      return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.rect.adjust(kRowInset, 1, -kRowInset, -1);
    tintIcon(opt, index);
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    const int count = index.data(SidebarModel::badgeRole).toInt();
    if (count <= 0) {
      style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
      return;
    }
    const QString text = QString::number(count);
    QFont font = opt.font;
    font.setPointSizeF(font.pointSizeF() * 0.85);
    const QFontMetrics metrics(font);
    const int height = metrics.height() + 2;
    const int width = std::max(height, metrics.horizontalAdvance(text) + 12);
    const QRect badge(opt.rect.right() - kBadgeMargin - width + 1,
                      opt.rect.center().y() - height / 2, width, height);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const int room = std::max(0, badge.left() - 4 - textRect.left());
    opt.text = opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, room);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    paintBadge(painter, opt, badge, font, text);
  }

 private:
  // Symbols are one-colour images: the accent colour, or the selection's
  // text colour on the selected row.
  void tintIcon(QStyleOptionViewItem& opt, const QModelIndex& index) const {
    const QString symbol = index.data(SidebarModel::symbolRole).toString();
    if (symbol.isEmpty()) return;
    const bool selected = opt.state.testFlag(QStyle::State_Selected);
    const QColor color = selected ? opt.palette.color(QPalette::HighlightedText)
                                  : ui::Tints::color(ui::Tint::accent, opt.palette);
    const qreal ratio = opt.widget ? opt.widget->devicePixelRatioF() : 1.0;
    // Drawn from the symbol's picture once per colour and scale, not per paint.
    const QString key = symbol + QLatin1Char('/') + color.name(QColor::HexArgb) + QLatin1Char('/') +
                        QString::number(ratio);
    auto known = tinted_.constFind(key);
    if (known == tinted_.constEnd()) {
      known =
          tinted_.insert(key, ui::Symbols::tinted(symbol.toStdString(), color, kIconSize, ratio));
    }
    const QPixmap pixmap = *known;
    opt.icon = QIcon();
    opt.icon.addPixmap(pixmap, QIcon::Normal);
    opt.icon.addPixmap(pixmap, QIcon::Selected);  // already in the selection's colour
    opt.decorationSize = QSize(kIconSize, kIconSize);
    opt.features |= QStyleOptionViewItem::HasDecoration;
  }

  mutable QHash<QString, QPixmap> tinted_;

  static QFont headerFont(QFont font) {
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.85);
    return font;
  }

  static void paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) {
    painter->save();
    painter->setFont(headerFont(option.font));
    painter->setPen(option.palette.color(QPalette::Disabled, QPalette::Text));
    const QRect area = option.rect.adjusted(kRowInset + 4, 0, -kRowInset, -3);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }

  static void paintBadge(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                         const QFont& font, const QString& text) {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    QColor fill = selected ? option.palette.color(QPalette::HighlightedText)
                           : option.palette.color(QPalette::Text);
    fill.setAlphaF(selected ? 0.25 : 0.12);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(rect, rect.height() / 2.0, rect.height() / 2.0);
    painter->setFont(font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(rect, Qt::AlignCenter, text);
    painter->restore();
  }
};

}  // namespace

Sidebar::Sidebar(AppModel& model, QWidget* parent)
    : QTreeView(parent), model_(model), rows_(new SidebarModel(model, this)) {
  setObjectName(QStringLiteral("sidebar"));
  setModel(rows_);
  setItemDelegate(new SidebarDelegate(this));
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(0);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setMinimumWidth(kMinimumWidth);
  setAccessibleName(tr("Sidebar"));

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &Sidebar::selectionMoved);
  connect(&model_, &AppModel::paneChanged, this, &Sidebar::showPane);
  showPane();
}

QSize Sidebar::sizeHint() const {
  return {kDefaultWidth, QTreeView::sizeHint().height()};
}

void Sidebar::showPane() {
  const QModelIndex row = rows_->indexOf(model_.pane());
  if (currentIndex() == row && selectionModel()->isSelected(row)) return;
  selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
}

void Sidebar::selectionMoved() {
  const QModelIndexList selected = selectionModel()->selectedRows();
  // A list may report that nothing is selected (a Ctrl-click on the chosen
  // row); the pane stays, and so does its row.
  const std::optional<Pane> pane = selected.isEmpty() ? std::nullopt : rows_->paneAt(selected[0]);
  if (!pane) {
    showPane();
    return;
  }
  model_.setPane(*pane);
}

}  // namespace larkvale
