#include "app/window/MainToolbar.h"

#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>

#include "app/ui/Symbols.h"

namespace larkvale {

MainToolbar::MainToolbar(AppModel& model, QWidget* parent)
    : QToolBar(parent),
      model_(model),
      progress_(new QProgressBar(this)),
      checkNow_(new QToolButton(this)),
      search_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("toolbar"));
  setMovable(false);
  setFloatable(false);
  toggleViewAction()->setVisible(false);
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

  auto* spacer = new QWidget(this);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  addWidget(spacer);

  progress_->setObjectName(QStringLiteral("checkProgress"));
  progress_->setFixedWidth(kProgressWidth);
  progress_->setTextVisible(false);
  progressItem_ = addWidget(progress_);

  checkNow_->setObjectName(QStringLiteral("checkNow"));
  checkNow_->setText(tr("Check Now"));
  tintButton();
  checkNow_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  // The shortcut itself belongs to the main menu's "Check Now"; the help
  // text names it as this desktop writes it.
  checkNow_->setToolTip(
      tr("Ask every app's update source now (%1)")
          .arg(QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText)));
  connect(checkNow_, &QToolButton::clicked, this,
          [this] { model_.check(AppModel::kManualMaxAge); });
  addWidget(checkNow_);

  search_->setObjectName(QStringLiteral("search"));
  search_->setPlaceholderText(tr("Find an app"));
  search_->setAccessibleName(tr("Find an app"));
  search_->setClearButtonEnabled(true);
  search_->setFixedWidth(kSearchWidth);
  connect(search_, &QLineEdit::textChanged, this,
          [this](const QString& text) { model_.setSearch(text); });
  addWidget(search_);

  connect(&model_, &AppModel::checkingChanged, this, &MainToolbar::showChecking);
  connect(&model_, &AppModel::progressChanged, this, &MainToolbar::showProgress);
  connect(&model_, &AppModel::searchChanged, this, &MainToolbar::showSearch);
  showChecking();
  showSearch();
}

void MainToolbar::tintButton() {
  const int size = iconSize().height();
  const QPixmap normal = ui::Symbols::tinted(
      "arrow.clockwise", palette().color(QPalette::Active, QPalette::ButtonText), size,
      devicePixelRatioF());
  const QPixmap disabled = ui::Symbols::tinted(
      "arrow.clockwise", palette().color(QPalette::Disabled, QPalette::ButtonText), size,
      devicePixelRatioF());
  QIcon icon;
  icon.addPixmap(normal, QIcon::Normal);
  icon.addPixmap(disabled, QIcon::Disabled);
  checkNow_->setIcon(icon);
}

void MainToolbar::changeEvent(QEvent* event) {
  QToolBar::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) tintButton();
}

void MainToolbar::showChecking() {
  const bool checking = model_.checking();
  progressItem_->setVisible(checking);
  checkNow_->setEnabled(!checking);
  showProgress();
}

void MainToolbar::showProgress() {
  const WorkProgress progress = model_.progress();
  // Before the scan has counted the apps the total is 0: an empty bar.
  progress_->setRange(0, std::max(progress.total, 1));
  progress_->setValue(std::clamp(progress.done, 0, std::max(progress.total, 1)));
  progress_->setAccessibleName(tr("Checking %1 of %2 apps").arg(progress.done).arg(progress.total));
}

void MainToolbar::showSearch() {
  // Only a change from elsewhere is written back, so typing keeps the cursor.
  if (search_->text() != model_.search()) search_->setText(model_.search());
}

}  // namespace larkvale
