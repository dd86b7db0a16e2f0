#include "app/screens/movingday/ChecklistRowDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include "app/model/AppModel.h"
#include "app/screens/movingday/ChecklistSectionModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/FittedListView.h"
#include "app/ui/ItemPainting.h"
#include "app/ui/PlainTip.h"
#include "app/ui/PointerTracker.h"

namespace larkvale::movingday {
namespace {

constexpr int kBoxPaddingX = 8;
constexpr int kBoxPaddingY = 4;
constexpr int kBoxRadius = 6;
constexpr double kBoxFill = 0.06;
constexpr int kCopySpacing = 6;

QFont calloutFont(const QFont& base) {
  return ui::Fonts::font(ui::TextStyle::callout, base);
}

int rowWidth(const QStyleOptionViewItem& option) {
  if (option.rect.width() > 0) return option.rect.width();
  if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
    return view->viewport()->width();
  }
  return 400;
}

QStyle* styleOf(const QStyleOptionViewItem& option) {
  return option.widget ? option.widget->style() : QApplication::style();
}

}  // namespace

ChecklistRowDelegate::ChecklistRowDelegate(AppModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

ChecklistRowDelegate::Geometry ChecklistRowDelegate::geometry(const QStyleOptionViewItem& option,
                                                              const QModelIndex& index) const {
  Geometry g;
  const QRect rect(option.rect.topLeft(), QSize(rowWidth(option), option.rect.height()));
  const QFontMetrics body(option.font);
  const QStyle* style = styleOf(option);
  const int tickWidth = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, option.widget);
  const int tickHeight = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, option.widget);
  const int top = rect.top() + rowPadding;
  g.tick = QRect(rect.left(), top + std::max(0, (body.height() - tickHeight) / 2), tickWidth,
                 tickHeight);
  const int left = rect.left() + tickWidth + spacing;
  const int width = std::max(40, rect.right() + 1 - left);
  int y = top;

  g.titleLines = ui::wrapLines(index.data().toString(), option.font, width, 0, &widths_);
  g.title = QRect(left, y, width, body.lineSpacing() * static_cast<int>(g.titleLines.size()));
  y = g.title.bottom() + 1;

  const QString detail = index.data(ChecklistSectionModel::detailRole).toString();
  if (!detail.isEmpty()) {
    const QFont font = calloutFont(option.font);
    g.detailLines = ui::wrapLines(detail, font, width, 0, &widths_);
    y += lineGap;
    g.detail = QRect(left, y, width,
                     QFontMetrics(font).lineSpacing() * static_cast<int>(g.detailLines.size()));
    y = g.detail.bottom() + 1;
  }

  const QString command = index.data(ChecklistSectionModel::commandRole).toString();
  if (!command.isEmpty()) {
    const QFont mono = monoFont(ui::TextStyle::callout, option.font);
    const QFontMetrics metrics(mono);
    const int copySize = body.height() + 4;
    const int room = std::max(20, width - copySize - kCopySpacing - 2 * kBoxPaddingX);
    g.commandLines = ui::wrapLines(command, mono, room, commandLines, &widths_);
    int widest = 0;
    for (const QString& line : g.commandLines) {
      widest = std::max(widest, widths_.advance(mono, line));
    }
    y += lineGap;
    const int boxHeight =
        metrics.lineSpacing() * static_cast<int>(g.commandLines.size()) + 2 * kBoxPaddingY;
    g.commandBox = QRect(left, y, std::min(widest + 1, room) + 2 * kBoxPaddingX, boxHeight);
    g.copy = QRect(g.commandBox.right() + 1 + kCopySpacing, y + (boxHeight - copySize) / 2,
                   copySize, copySize);
    y = g.commandBox.bottom() + 1;
  }

  const QString link = index.data(ChecklistSectionModel::linkLabelRole).toString();
  if (!link.isEmpty()) {
    g.linkText = widths_.advance(option.font, link) < width
                     ? link
                     : body.elidedText(link, Qt::ElideRight, width);
    y += lineGap;
    g.link = QRect(left, y, widths_.advance(option.font, g.linkText) + 1, body.height());
    y = g.link.bottom() + 1;
  }
  g.height = std::max(y, g.tick.bottom() + 1) + rowPadding - rect.top();
  return g;
}

ChecklistRowDelegate::Geometry ChecklistRowDelegate::geometry(const QAbstractItemView* view,
                                                              const QModelIndex& index) const {
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.widget = view;
  option.font = view->font();
  option.rect = view->visualRect(index);
  return geometry(option, index);
}

QSize ChecklistRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
  const int width = rowWidth(option);
  if (const auto* list = qobject_cast<const ui::FittedListView*>(option.widget)) {
    if (auto known = list->knownRowHeight(index.row(), width)) return {width, *known};
  }
  return {width, geometry(option, index).height};
}

void ChecklistRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const Geometry g = geometry(option, index);
  const bool ticked = index.data(ChecklistSectionModel::tickedRole).toBool();
  const QPalette& palette = option.palette;
  const QColor text = palette.color(QPalette::Text);
  const QColor secondary = ui::Tints::secondaryText(palette);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);

  QStyleOptionButton tick;
  tick.rect = g.tick;
  tick.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
  tick.palette = palette;
  styleOf(option)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &tick, painter, option.widget);

  QFont titleFont = option.font;
  titleFont.setStrikeOut(ticked);
  painter->setPen(ticked ? secondary : text);
  ui::drawLines(painter, g.title, g.titleLines, titleFont);

  if (!g.detailLines.isEmpty()) {
    painter->setPen(secondary);
    ui::drawLines(painter, g.detail, g.detailLines, calloutFont(option.font));
  }
  if (!g.commandLines.isEmpty()) {
    QPainterPath box;
    box.addRoundedRect(QRectF(g.commandBox), kBoxRadius, kBoxRadius);
    painter->fillPath(box, ui::Tints::withOpacity(text, kBoxFill));
    painter->setPen(text);
    ui::drawLines(painter, g.commandBox.adjusted(kBoxPaddingX, kBoxPaddingY, -kBoxPaddingX, 0),
                  g.commandLines, monoFont(ui::TextStyle::callout, option.font));
    ui::paintBorderlessBackdrop(painter, g.copy, palette,
                                ui::PointerTracker::look(option.widget, g.copy));
    ui::paintSymbol(painter, g.copy.adjusted(2, 2, -2, -2), QStringLiteral("doc.on.doc"),
                    palette.color(QPalette::Highlight));
  }
  if (!g.linkText.isEmpty()) {
    painter->setFont(option.font);
    ui::paintLink(painter, g.link, g.linkText, palette,
                  ui::PointerTracker::look(option.widget, g.link));
  }
  painter->restore();
}

bool ChecklistRowDelegate::editorEvent(QEvent* event, QAbstractItemModel*,
                                       const QStyleOptionViewItem& option,
                                       const QModelIndex& index) {
  if (event->type() != QEvent::MouseButtonRelease) {
    // Presses and double clicks on the controls are taken here too, so the
    // view does not start anything of its own.
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::MouseButtonDblClick;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return false;
  const Geometry g = geometry(option, index);
  const QPoint at = mouse->position().toPoint();
  const std::string id = index.data(ChecklistSectionModel::idRole).toByteArray().toStdString();
  if (g.tick.adjusted(-4, -4, 4, 4).contains(at)) {
    model_.toggleTick(id);
    return true;
  }
  if (!g.copy.isEmpty() && g.copy.contains(at)) {
    model_.copyCommand(index.data(ChecklistSectionModel::commandRole).toString().toStdString());
    return true;
  }
  if (!g.link.isEmpty() && g.link.contains(at)) {
    model_.openLink(index.data(ChecklistSectionModel::linkRole).toString().toStdString());
    return true;
  }
  return false;
}

bool ChecklistRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                     const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip) return false;
  const Geometry g = geometry(option, index);
  QString tip;
  if (g.copy.contains(event->pos())) {
    tip = tr("Copy the command");
  } else if (g.link.contains(event->pos())) {
    tip = index.data(Qt::ToolTipRole).toString();
  }
  if (tip.isEmpty()) {
    QToolTip::hideText();
    return true;
  }
  QToolTip::showText(event->globalPos(), ui::plainTip(tip), view);
  return true;
}

std::vector<ui::RowControls::Control> ChecklistRowDelegate::controls(
    const QAbstractItemView* view, const QModelIndex& index) const {
  const Geometry g = geometry(view, index);
  const std::string id = index.data(ChecklistSectionModel::idRole).toByteArray().toStdString();
  std::vector<Control> out;
  out.push_back({g.tick, index.data().toString(), [this, id] { model_.toggleTick(id); }});
  if (!g.copy.isEmpty()) {
    const std::string command =
        index.data(ChecklistSectionModel::commandRole).toString().toStdString();
    out.push_back(
        {g.copy, tr("Copy the command"), [this, command] { model_.copyCommand(command); }});
  }
  if (!g.link.isEmpty()) {
    const std::string link = index.data(ChecklistSectionModel::linkRole).toString().toStdString();
    out.push_back({g.link, index.data(ChecklistSectionModel::linkLabelRole).toString(),
                   [this, link] { model_.openLink(link); }});
  }
  return out;
}

std::vector<ui::RowControls::CopyText> ChecklistRowDelegate::copyTexts(
    const QModelIndex& index) const {
  std::vector<CopyText> out;
  const QString command = index.data(ChecklistSectionModel::commandRole).toString();
  if (!command.isEmpty()) out.push_back({tr("Copy Command"), command});
  const QString detail = index.data(ChecklistSectionModel::detailCopyRole).toString();
  if (!detail.isEmpty()) out.push_back({tr("Copy Detail"), detail});
  out.push_back({tr("Copy Step"), index.data().toString()});
  return out;
}

void ChecklistRowDelegate::copy(const QString& text) const {
  model_.copyCommand(text.toStdString());
}

}  // namespace larkvale::movingday
