#include "app/shell/TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/shell/MenuText.h"
#include "app/shell/TrayMenu.h"

namespace larkvale {
namespace {

const QColor kAccent(0x2f, 0x7b, 0xf6);
const QColor kBadge(0xe5, 0x3b, 0x30);

void drawArrow(QPainter& painter, const QRectF& box, const QColor& color, qreal width) {
  QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  QPointF top(box.center().x(), box.top() + box.height() * 0.27);
  QPointF tip(box.center().x(), box.top() + box.height() * 0.73);
  qreal wing = box.width() * 0.2;
  painter.drawLine(top, tip);
  painter.drawLine(tip, tip + QPointF(-wing, -wing));
  painter.drawLine(tip, tip + QPointF(wing, -wing));
}

QString countText(int count) {
  return count > 99 ? QStringLiteral("99+") : QString::number(count);
}

// Tray sizes: the number replaces the arrow and fills the disc, so that two
// digits stay readable at 16 pixels.
void drawSmall(QPainter& painter, int size, int count) {
  const QString text = countText(count);
  const QRectF disc(0, 0, size, size);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawEllipse(disc);
  painter.setFont(TrayIcon::countFont(size, text));
  painter.setPen(Qt::white);
  painter.drawText(disc, Qt::AlignCenter, text);
}

QPixmap drawIcon(int size, int count) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  qreal stroke = std::max<qreal>(1.5, size / 12.0);
  QRectF circle(stroke / 2, stroke / 2, size - stroke, size - stroke);
  if (count < 1) {
    painter.setPen(QPen(kAccent, stroke));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    drawArrow(painter, circle, kAccent, stroke);
    return pixmap;
  }
  if (size < TrayIcon::kBadgeFromSize) {
    drawSmall(painter, size, count);
    return pixmap;
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawEllipse(circle);
  drawArrow(painter, circle, Qt::white, stroke);

  const QString text = countText(count);
  QFont font = painter.font();
  font.setBold(true);
  // The badge never grows past the icon's edge ("99+" shrinks a little).
  qreal height = 0, width = 0;
  for (int pixels = size * 9 / 20; pixels >= 7; --pixels) {
    font.setPixelSize(pixels);
    QFontMetricsF metrics(font);
    height = metrics.height();
    width = std::max(height, metrics.horizontalAdvance(text) + height * 0.4);
    if (width <= size) break;
  }
  painter.setFont(font);
  QRectF badge(size - width, size - height, width, height);
  painter.setBrush(kBadge);
  painter.drawRoundedRect(badge, height / 2, height / 2);
  painter.setPen(Qt::white);
  painter.drawText(badge, Qt::AlignCenter, text);
  return pixmap;
}

}  // namespace

QFont TrayIcon::countFont(int size, const QString& text) {
  QFont font;
  font.setBold(true);
  // As large as fits across the icon, but never taller than about four fifths of it.
  for (int pixels = size * 4 / 5; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetricsF(font).horizontalAdvance(text) <= size) break;
  }
  return font;
}

QIcon TrayIcon::iconFor(int count) {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64}) icon.addPixmap(drawIcon(size, count));
  return icon;
}

TrayIcon::TrayIcon(AppModel& model, ShellActions& shell, QObject* parent)
    : QObject(parent), model_(model), shell_(shell), menu_(std::make_unique<QMenu>()) {
  menu_->setObjectName(QStringLiteral("trayMenu"));
  tray_ = new QSystemTrayIcon(this);
  tray_->setObjectName(QStringLiteral("trayIcon"));
  tray_->setContextMenu(menu_.get());
  connect(menu_.get(), &QMenu::aboutToShow, this, &TrayIcon::rebuildMenu);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    // A plain click shows the menu too, as a menu-bar item's would.
    if (why == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
  });
  for (auto signal :
       {&AppModel::stateChanged, &AppModel::checkingChanged, &AppModel::progressChanged}) {
    connect(&model, signal, this, &TrayIcon::refresh);
  }
  refresh();
  rebuildMenu();
}

TrayIcon::~TrayIcon() {
  delete tray_;  // before the menu it shows
}

void TrayIcon::show() {
  tray_->show();
}

void TrayIcon::refresh() {
  int count = static_cast<int>(model_.pendingUpdates().size());
  if (count != shownCount_) {
    shownCount_ = count;
    tray_->setIcon(iconFor(count));
    tray_->setToolTip(TrayMenu::accessibilityLabel(count));
  }
  menuStale_ = true;
  scheduleRebuild();
}

void TrayIcon::scheduleRebuild() {
  // Never rebuilt inside a change: the change may come from an item's own
  // action, which must not be deleted while it runs.
  if (rebuildPending_) return;
  rebuildPending_ = true;
  QTimer::singleShot(0, this, &TrayIcon::rebuildMenu);
}

void TrayIcon::rebuildMenu() {
  rebuildPending_ = false;
  // Built once per change, however often it is shown in between.
  if (!menuStale_) return;
  menuStale_ = false;
  menu_->clear();
  for (const TrayMenu::Item& item : TrayMenu::items(model_)) {
    if (item.kind == TrayMenu::Item::Kind::divider) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(plainMenuText(item.title));
    action->setObjectName(item.objectName);
    action->setEnabled(item.enabled);
    action->setShortcut(item.shortcut);
    if (item.kind == TrayMenu::Item::Kind::button) {
      connect(action, &QAction::triggered, this,
              [this, item] { TrayMenu::run(item, model_, shell_); });
    }
  }
}

}  // namespace larkvale
