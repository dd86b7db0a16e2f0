#include "app/screens/updates/UpdatesPane.h"

#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/screens/updates/UpdateDetail.h"
#include "app/screens/updates/UpdateList.h"
#include "app/screens/updates/WelcomeView.h"

namespace larkvale {
namespace {

constexpr int kListMinimum = 240;
constexpr int kListIdeal = 380;
constexpr int kDetailMinimum = 220;
constexpr int kWelcomePadding = 24;

}  // namespace

UpdatesPane::UpdatesPane(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), pages_(new QStackedWidget(this)) {
  setObjectName(QStringLiteral("updatesPane"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  connect(&model_, &AppModel::stateChanged, this, &UpdatesPane::refresh);
  connect(&model_, &AppModel::checkingChanged, this, &UpdatesPane::refresh);
  refresh();
}

QWidget* UpdatesPane::welcomePage() {
  if (welcomePage_) return welcomePage_;
  welcomePage_ = new QScrollArea(pages_);
  welcomePage_->setObjectName(QStringLiteral("welcomePage"));
  welcomePage_->setWidgetResizable(true);
  welcomePage_->setFrameShape(QFrame::NoFrame);
  welcomePage_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* padded = new QWidget;
  auto* padding = new QVBoxLayout(padded);
  padding->setContentsMargins(kWelcomePadding, kWelcomePadding, kWelcomePadding, kWelcomePadding);
  auto* leading = new QHBoxLayout;
  leading->addWidget(new WelcomeView(model_), 1000);
  leading->addStretch(1);
  padding->addLayout(leading);
  padding->addStretch(1);
  welcomePage_->setWidget(padded);
  pages_->addWidget(welcomePage_);
  return welcomePage_;
}

QWidget* UpdatesPane::listPage() {
  if (split_) return split_;
  split_ = new QSplitter(Qt::Vertical, pages_);
  list_ = new UpdateList(model_, split_);
  detail_ = new UpdateDetail(model_, split_);
  split_->setObjectName(QStringLiteral("updatesSplit"));
  split_->setChildrenCollapsible(false);
  list_->setMinimumHeight(kListMinimum);
  detail_->setMinimumHeight(kDetailMinimum);
  split_->setStretchFactor(0, 0);
  split_->setStretchFactor(1, 1);
  split_->setSizes({kListIdeal, kListIdeal});
  pages_->addWidget(split_);
  return split_;
}

bool UpdatesPane::showsWelcome() const {
  return welcomePage_ && pages_->currentWidget() == welcomePage_;
}

void UpdatesPane::refresh() {
  const bool welcome = !model_.state().lastReport && !model_.checking();
  pages_->setCurrentWidget(welcome ? welcomePage() : listPage());
}

}  // namespace larkvale
