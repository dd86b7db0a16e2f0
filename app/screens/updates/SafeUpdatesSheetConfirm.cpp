#include "app/screens/updates/SafeUpdatesSheetConfirm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "app/model/ShownText.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/AppIcon.h"
#include "app/ui/Card.h"
#include "app/ui/EmptyState.h"
#include "app/ui/Fonts.h"
#include "app/ui/SymbolView.h"
#include "app/ui/TintLabel.h"

namespace larkvale {
namespace {

using ui::TextStyle;
using ui::Tint;
using ui::TintLabel;

constexpr int kIconSize = 20;

// One candidate's row: a click anywhere on it works the tick box.
class PickRow : public QWidget {
 public:
  PickRow(QCheckBox* tick, QWidget* parent) : QWidget(parent), tick_(tick) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      tick_->click();
    }
  }

 private:
  QCheckBox* tick_;
};

// The command a Terminal window will show, on a faint rounded box.
class CommandLabel : public TintLabel {
 public:
  explicit CommandLabel(QWidget* parent) : TintLabel(QString(), TextStyle::callout, {}, parent) {
    QFont mono = font();
    mono.setFamilies({QStringLiteral("monospace")});
    mono.setStyleHint(QFont::Monospace);
    setFont(mono);
    setContentsMargins(8, 4, 8, 4);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(true);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The box hugs the text: as wide as its longest line, never wider than
    // the label.
    QRect text =
        fontMetrics().boundingRect(contentsRect(), Qt::AlignLeft | Qt::TextWordWrap, this->text());
    QMargins margins = contentsMargins();
    QRect box = text.marginsAdded(margins) & rect();
    box.setTop(0);
    box.setBottom(height() - 1);
    QPainterPath path;
    path.addRoundedRect(QRectF(box), 6, 6);
    painter.fillPath(path, ui::Tints::withOpacity(palette().color(QPalette::WindowText), 0.06));
    painter.end();
    TintLabel::paintEvent(event);
  }
};

QString versionText(const AppUpdate& update) {
  return shown::line(update.app.version) + QStringLiteral(" → ") +
         shown::line(update.latestVersion.value_or("?"));
}

}  // namespace

SafeUpdatesConfirm::SafeUpdatesConfirm(AppModel& model, const SafeUpdatePlan& plan, QWidget* parent)
    : QWidget(parent), model_(model), plan_(plan) {
  setObjectName(QStringLiteral("safeConfirm"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(12);
  if (plan_.candidates.empty()) {
    auto* empty =
        new ui::EmptyState(QStringLiteral("checkmark.circle"), tr("Nothing safe to hand off"),
                           tr("No Sparkle or Homebrew updates are waiting."), this);
    empty->setMinimumHeight(160);
    layout->addWidget(empty);
  }
  std::vector<AppUpdate> sparkle = sparkleCandidates(plan_);
  std::vector<AppUpdate> brew = brewCandidates(plan_);
  if (!sparkle.empty()) layout->addWidget(sparkleCard(sparkle));
  if (!brew.empty()) layout->addWidget(brewCard(brew));
  if (!plan_.leftOut.empty()) layout->addWidget(leftOutCard());
  layout->addStretch(1);
  refreshChosen();
}

std::vector<AppUpdate> SafeUpdatesConfirm::brewCandidates(const SafeUpdatePlan& plan) {
  std::vector<AppUpdate> out;
  for (const AppUpdate& update : plan.candidates) {
    if (update.source.kind() == UpdateSource::Kind::homebrew) out.push_back(update);
  }
  return out;
}

std::vector<AppUpdate> SafeUpdatesConfirm::sparkleCandidates(const SafeUpdatePlan& plan) {
  std::vector<AppUpdate> out;
  for (const AppUpdate& update : plan.candidates) {
    if (update.source.kind() != UpdateSource::Kind::homebrew) out.push_back(update);
  }
  return out;
}

QString SafeUpdatesConfirm::handOffCountText(size_t handOffs) {
  if (handOffs == 0) return tr("Nothing ticked");
  if (handOffs == 1) return tr("1 hand-off, one at a time");
  return tr("%1 hand-offs, one at a time").arg(QString::number(handOffs));
}

QWidget* SafeUpdatesConfirm::pickRow(const AppUpdate& update, QWidget* parent) {
  const QString id = QString::fromStdString(update.id());
  auto* tick = new QCheckBox;
  tick->setObjectName(QStringLiteral("safePick:") + id);
  const QString name = shown::line(update.app.name);
  tick->setAccessibleName(name);
  auto* row = new PickRow(tick, parent);
  tick->setParent(row);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  layout->addWidget(tick);
  layout->addWidget(new ui::AppIcon(id, kIconSize, row));
  layout->addWidget(new TintLabel(name, TextStyle::body, std::nullopt, row));
  auto* versions = new TintLabel(versionText(update), TextStyle::body, Tint::secondary, row);
  versions->setObjectName(QStringLiteral("safePickVersions"));
  versions->setFont(ui::Fonts::equalWidthDigits(versions->font()));
  layout->addWidget(versions);
  if (update.critical) {
    auto* mark = new ui::SymbolView(QStringLiteral("exclamationmark.shield.fill"), Tint::red,
                                    QFontMetrics(font()).height(), row);
    mark->setObjectName(QStringLiteral("safePickCritical"));
    mark->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    mark->setToolTip(tr("The developer marks this update as important"));
    mark->setAccessibleName(tr("Important update"));
    layout->addWidget(mark);
  }
  layout->addStretch(1);
  const std::string key = update.id();
  connect(tick, &QCheckBox::toggled, this, [this, key](bool on) {
    model_.setSafeChosen(key, on);
    refreshChosen();  // a tick the model refused springs back
  });
  ticks_[key] = tick;
  return row;
}

QWidget* SafeUpdatesConfirm::sparkleCard(const std::vector<AppUpdate>& updates) {
  QWidget* content = viewblocks::stackWidget(8);
  for (const AppUpdate& update : updates) {
    viewblocks::stackOf(content)->addWidget(pickRow(update, content));
  }
  viewblocks::stackOf(content)->addWidget(
      (new TintLabel(tr("Each opens on its own; its updater asks before it installs."),
                     TextStyle::caption, Tint::secondary, content))
          ->wrapping());
  auto* card = new ui::Card(tr("Sparkle apps (%1)").arg(QString::number(updates.size())),
                            QStringLiteral("dot.radiowaves.up.forward"), Tint::purple, content);
  card->setObjectName(QStringLiteral("safeSparkleCard"));
  return card;
}

QWidget* SafeUpdatesConfirm::brewCard(const std::vector<AppUpdate>& updates) {
  QWidget* content = viewblocks::stackWidget(8);
  for (const AppUpdate& update : updates) {
    viewblocks::stackOf(content)->addWidget(pickRow(update, content));
  }
  commandBox_ = viewblocks::stackWidget(8, content);
  commandBox_->setObjectName(QStringLiteral("safeCommandBox"));
  viewblocks::stackOf(commandBox_)
      ->addWidget((new TintLabel(tr("One terminal window, after you press Return there:"),
                                 TextStyle::caption, Tint::secondary, commandBox_))
                      ->wrapping());
  command_ = new CommandLabel(commandBox_);
  command_->setObjectName(QStringLiteral("safeCommand"));
  viewblocks::stackOf(commandBox_)->addWidget(command_);
  viewblocks::stackOf(content)->addWidget(commandBox_);
  auto* card = new ui::Card(tr("Homebrew casks (%1)").arg(QString::number(updates.size())),
                            QStringLiteral("mug"), Tint::orange, content);
  card->setObjectName(QStringLiteral("safeBrewCard"));
  return card;
}

QWidget* SafeUpdatesConfirm::leftOutCard() {
  QWidget* content = viewblocks::stackWidget(6);
  for (const SafeUpdatePlan::LeftOut& left : plan_.leftOut) {
    auto* row = new QWidget(content);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(new ui::AppIcon(QString::fromStdString(left.id()), kIconSize, row), 0,
                      Qt::AlignTop);
    QWidget* texts = viewblocks::stackWidget(1, row);
    const QString name = shown::line(left.update.app.name);
    const QString reason = shown::line(left.reason);
    viewblocks::stackOf(texts)->addWidget(
        new TintLabel(name, TextStyle::body, std::nullopt, texts));
    auto* because = (new TintLabel(reason, TextStyle::caption, Tint::secondary, texts))->wrapping();
    because->setObjectName(QStringLiteral("safeLeftOutReason"));
    viewblocks::stackOf(texts)->addWidget(because);
    layout->addWidget(texts, 1);
    row->setAccessibleName(name + QStringLiteral(", ") + reason);
    viewblocks::stackOf(content)->addWidget(row);
  }
  auto* card = new ui::Card(tr("Left out (%1)").arg(QString::number(plan_.leftOut.size())),
                            QStringLiteral("hand.raised"), Tint::gray, content);
  card->setObjectName(QStringLiteral("safeLeftOutCard"));
  return card;
}

void SafeUpdatesConfirm::refreshChosen() {
  const TextSet& chosen = model_.safeChosen();
  for (auto& [id, tick] : ticks_) {
    QSignalBlocker quiet(tick);
    tick->setChecked(chosen.count(id) > 0);
  }
  if (!command_) return;
  std::vector<AppUpdate> ticked;
  for (const AppUpdate& update : brewCandidates(plan_)) {
    if (chosen.count(update.id())) ticked.push_back(update);
  }
  std::optional<std::string> command;
  if (!ticked.empty()) command = SafeUpdateStep::brew(ticked).brewCommand();
  commandBox_->setVisible(command.has_value());
  command_->setText(command ? shown::line(*command) : QString());
}

}  // namespace larkvale
