#include "app/screens/updates/SafeUpdatesSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/screens/updates/SafeUpdatesSheetConfirm.h"
#include "app/screens/updates/SafeUpdatesSheetRun.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/TintLabel.h"

namespace larkvale {
namespace {

using ui::TextStyle;
using ui::Tint;
using ui::TintLabel;

constexpr int kMargin = 20;

enum FooterPage { confirmPage, runningPage, finishedPage };

QHBoxLayout* footerRow(QWidget* page) {
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(0, 0, 0, 0);
  return row;
}

}  // namespace

SafeUpdatesSheet::SafeUpdatesSheet(AppModel& model, QWidget* parent)
    : QDialog(parent),
      model_(model),
      body_(new QScrollArea(this)),
      footers_(new QStackedWidget(this)) {
  setObjectName(QStringLiteral("safeSheet"));
  setWindowTitle(tr("Update All That Are Safe"));
  setFixedWidth(kWidth);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(14);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget* header = viewblocks::stackWidget(4, this);
  auto* title =
      new TintLabel(tr("Update All That Are Safe"), TextStyle::title2, std::nullopt, header);
  title->setFont(ui::Fonts::font(TextStyle::title2, font(), QFont::Bold));
  viewblocks::stackOf(header)->addWidget(title);
  viewblocks::stackOf(header)->addWidget(
      (new TintLabel(
           tr("Each update goes to something you can watch: the app's own updater, or "
              "one terminal window you start. One at a time, nothing installs by itself."),
           TextStyle::body, Tint::secondary, header))
          ->wrapping());
  header->setFixedWidth(kWidth - 2 * kMargin);
  layout->addWidget(header);

  body_->setObjectName(QStringLiteral("safeBody"));
  body_->setWidgetResizable(true);
  body_->setFrameShape(QFrame::NoFrame);
  body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  body_->setFixedWidth(kWidth - 2 * kMargin);
  layout->addWidget(body_);

  footers_->addWidget(confirmFooter());
  footers_->addWidget(runningFooter());
  footers_->addWidget(finishedFooter());
  footers_->setFixedWidth(kWidth - 2 * kMargin);
  layout->addWidget(footers_);

  connect(&model_, &AppModel::safeRunChanged, this, &SafeUpdatesSheet::rebuildBody);
  connect(&model_, &AppModel::safeChosenChanged, this, &SafeUpdatesSheet::refreshChosen);
  connect(&model_, &AppModel::stateChanged, this, [this] {
    // A finished check changes the plan; other changes of the state leave
    // the confirmation (and where it is scrolled to) alone.
    if (!model_.safeRun() && (!confirm_ || confirm_->plan() != model_.safePlan())) rebuildBody();
  });
  connect(&model_, &AppModel::safeSheetChanged, this, [this] {
    if (!model_.safeSheet() && isVisible()) QDialog::done(QDialog::Rejected);
  });
  rebuildBody();
}

QPushButton* SafeUpdatesSheet::button(const QString& text, const char* name) {
  auto* pushButton = new QPushButton(text);
  pushButton->setObjectName(QLatin1String(name));
  pushButton->setAutoDefault(false);
  return pushButton;
}

QWidget* SafeUpdatesSheet::confirmFooter() {
  auto* page = new QWidget;
  QHBoxLayout* row = footerRow(page);
  QPushButton* cancel = button(tr("Cancel"), "safeCancel");
  connect(cancel, &QPushButton::clicked, this, &SafeUpdatesSheet::reject);
  row->addWidget(cancel);
  row->addStretch(1);
  count_ = new TintLabel(QString(), TextStyle::callout, Tint::secondary, page);
  count_->setObjectName(QStringLiteral("safeCount"));
  row->addWidget(count_);
  start_ = button(tr("Start"), "safeStart");
  connect(start_, &QPushButton::clicked, this, [this] { model_.startSafeRun(); });
  row->addWidget(start_);
  return page;
}

QWidget* SafeUpdatesSheet::runningFooter() {
  auto* page = new QWidget;
  QHBoxLayout* row = footerRow(page);
  QPushButton* stop = button(tr("Stop"), "safeStop");
  connect(stop, &QPushButton::clicked, this, &SafeUpdatesSheet::reject);
  row->addWidget(stop);
  row->addStretch(1);
  QPushButton* skip = button(tr("Skip This One"), "safeSkip");
  connect(skip, &QPushButton::clicked, this, [this] { model_.skipSafeStep(); });
  row->addWidget(skip);
  forward_ = button(QString(), "safeNext");
  connect(forward_, &QPushButton::clicked, this, [this] { model_.advanceSafeRun(); });
  row->addWidget(forward_);
  return page;
}

QWidget* SafeUpdatesSheet::finishedFooter() {
  auto* page = new QWidget;
  QHBoxLayout* row = footerRow(page);
  finished_ = (new TintLabel(QString(), TextStyle::callout, Tint::secondary, page))->wrapping();
  finished_->setObjectName(QStringLiteral("safeFinished"));
  row->addWidget(finished_, 1);
  QPushButton* check = button(tr("Check Now"), "safeCheckNow");
  connect(check, &QPushButton::clicked, this, &SafeUpdatesSheet::checkNow);
  row->addWidget(check);
  done_ = button(tr("Done"), "safeDone");
  connect(done_, &QPushButton::clicked, this, &SafeUpdatesSheet::reject);
  row->addWidget(done_);
  return page;
}

void SafeUpdatesSheet::reject() {
  model_.setSafeSheet(false);
  // Clearing the model's value may have closed the sheet already.
  if (isVisible()) QDialog::reject();
}

void SafeUpdatesSheet::checkNow() {
  reject();
  model_.check(AppModel::kManualMaxAge);
}

void SafeUpdatesSheet::rebuildBody() {
  // The old content may hold the control whose click led here: it goes once
  // that click is over.
  if (QWidget* old = body_->takeWidget()) {
    old->hide();
    old->deleteLater();
  }
  confirm_ = nullptr;
  if (const OptionalSafeRun& run = model_.safeRun()) {
    body_->setWidget(new SafeUpdatesRunList(*run));
  } else {
    confirm_ = new SafeUpdatesConfirm(model_, model_.safePlan());
    body_->setWidget(confirm_);
  }
  refreshFooter();
  fitBody();
}

void SafeUpdatesSheet::refreshChosen() {
  if (confirm_) confirm_->refreshChosen();
  refreshFooter();
}

void SafeUpdatesSheet::refreshFooter() {
  const OptionalSafeRun& run = model_.safeRun();
  if (!run) {
    footers_->setCurrentIndex(confirmPage);
    size_t handOffs = model_.safePlan().steps(model_.safeChosen()).size();
    count_->setText(SafeUpdatesConfirm::handOffCountText(handOffs));
    start_->setEnabled(handOffs > 0);
    start_->setDefault(true);
  } else if (!run->isFinished()) {
    footers_->setCurrentIndex(runningPage);
    // "Next: Salt & Pepper …" names an app: its "&" is no mnemonic.
    forward_->setText(UpdateActions::withoutMnemonic(
        QFontMetrics(forward_->font())
            .elidedText(SafeUpdatesRunList::forwardText(*run), Qt::ElideRight, kForwardMaxWidth)));
    forward_->setDefault(true);
  } else {
    footers_->setCurrentIndex(finishedPage);
    finished_->setText(SafeUpdatesRunList::finishedText(*run));
    done_->setDefault(true);
  }
}

void SafeUpdatesSheet::fitBody() {
  // The body is as tall as its content within its bounds; beyond them it
  // scrolls.
  QWidget* content = body_->widget();
  const int width = kWidth - 2 * kMargin;
  int height =
      content->hasHeightForWidth() ? content->heightForWidth(width) : content->sizeHint().height();
  body_->setFixedHeight(qBound(kBodyMinHeight, height, kBodyMaxHeight));
}

}  // namespace larkvale
