#include "app/shell/TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <iterator>

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

// The largest pixel size from `most` down to `least` at which `width` (of
// the text at that size) stays within `room`, or `least` when none does.
// Text widths grow with the size, so the first measure, at `most`, tells
// where to look next: a few measures instead of one per size.
int largestFitting(int least, int most, qreal room, const std::function<qreal(int)>& width) {
  const qreal widest = width(most);
  if (widest <= room || most <= least) return most;
  int pixels = std::clamp(static_cast<int>(most * room / widest), least, most - 1);
  if (width(pixels) <= room) {
    while (pixels + 1 < most && width(pixels + 1) <= room) ++pixels;
    return pixels;
  }
  while (pixels > least) {
    if (width(--pixels) <= room) return pixels;
  }
  return least;
}

// Fonts already fitted, by the base font, the icon size and the text: the
// icon is redrawn at every change of the count, in six sizes.
QFont fitted(int size, const QString& text, bool badge) {
  static QHash<QString, int> known;
  QFont font;
  font.setBold(true);
  const QString key = font.key() + QLatin1Char('/') + QString::number(size) +
                      QLatin1String(badge ? "/badge/" : "/disc/") + text;
  auto found = known.constFind(key);
  if (found == known.constEnd()) {
    auto width = [&font, &text, badge](int pixels) {
      font.setPixelSize(pixels);
      const QFontMetricsF metrics(font);
      if (!badge) return metrics.horizontalAdvance(text);
      const qreal height = metrics.height();
      return std::max(height, metrics.horizontalAdvance(text) + height * 0.4);
    };
    // As large as fits across the icon, but never taller than about four
    // fifths of it (the disc) or than about half of it (the badge).
    found = known.insert(key, badge ? largestFitting(7, size * 9 / 20, size, width)
                                    : largestFitting(7, size * 4 / 5, size, width));
  }
  font.setPixelSize(*found);
  return font;
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
  // The badge never grows past the icon's edge ("99+" shrinks a little).
  const QFont font = TrayIcon::badgeFont(size, text);
  const QFontMetricsF metrics(font);
  const qreal height = metrics.height();
  const qreal width = std::max(height, metrics.horizontalAdvance(text) + height * 0.4);
  painter.setFont(font);
  QRectF badge(size - width, size - height, width, height);
  painter.setBrush(kBadge);
  painter.drawRoundedRect(badge, height / 2, height / 2);
  painter.setPen(Qt::white);
  painter.drawText(badge, Qt::AlignCenter, text);
  return pixmap;
}

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64};

// The tray icon for a count. Each of its sizes is drawn when first asked for
// a picture that size serves, not when made: a change of count costs nothing
// until a tray shows the icon, and a tray that asks for one size gets that
// size drawn alone (every size fits its own text, so each costs fonts).
class CountIconEngine : public QIconEngine {
 public:
  explicit CountIconEngine(int count) : count_(count) {}

  QIconEngine* clone() const override { return new CountIconEngine(count_); }
  QString key() const override { return QStringLiteral("larkvaleCount"); }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    drawnFor(rect.size() * ratio).paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return drawnFor(size).pixmap(size, 1.0, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return drawnFor(size).actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int size : kIconSizes) sizes.append(QSize(size, size));
    return sizes;
  }

 private:
  // The pictures drawn so far, with the one a request for `size` takes
  // among them: as a QIcon holding every size would choose, the smallest
  // that covers its area, else the largest. Drawn ones that are not chosen
  // never win over the chosen one, so the answer is the same as with all six.
  const QIcon& drawnFor(const QSize& size) {
    const qint64 area = qint64{size.width()} * size.height();
    int chosen = kIconSizes[std::size(kIconSizes) - 1];
    for (int side : kIconSizes) {
      if (qint64{side} * side >= area) {
        chosen = side;
        break;
      }
    }
    if (!drawnSizes_.contains(chosen)) {
      drawnSizes_.append(chosen);
      drawn_.addPixmap(drawIcon(chosen, count_));
    }
    return drawn_;
  }

  int count_;
  QIcon drawn_;
  QList<int> drawnSizes_;
};

}  // namespace

QFont TrayIcon::countFont(int size, const QString& text) {
  return fitted(size, text, false);
}

QFont TrayIcon::badgeFont(int size, const QString& text) {
  return fitted(size, text, true);
}

QIcon TrayIcon::iconFor(int count) {
  return QIcon(new CountIconEngine(count));
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
  int count = model_.badgeCount(Pane::updates);
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
