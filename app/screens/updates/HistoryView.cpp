#include "app/screens/updates/HistoryView.h"

#include <QVBoxLayout>

#include "app/screens/updates/HistoryListModel.h"
#include "app/screens/updates/HistoryViewDelegate.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/EmptyState.h"
#include "app/ui/FittedListView.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/TextLocale.h"

namespace larkvale {

HistoryView::HistoryView(AppModel& model, QWidget* parent)
    : CappedColumn(kMaxWidth, parent),
      model_(model),
      rows_(new HistoryListModel(ui::textLocale(), this)),
      list_(new ui::FittedListView(body())),
      empty_(new ui::EmptyState(QStringLiteral("clock"), tr("No updates seen yet"),
                                tr("After you update an app, the next check records it here."),
                                body())) {
  setObjectName(QStringLiteral("history"));
  auto* layout = new QVBoxLayout(body());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(16);
  layout->addWidget(new ui::PaneHeader(
      tr("History"),
      tr("Each time a check finds an app at a newer version than the check before, it's written "
         "here."),
      body()));
  empty_->setObjectName(QStringLiteral("historyEmpty"));
  empty_->setMinimumHeight(kEmptyHeight);
  layout->addWidget(empty_);
  list_->setObjectName(QStringLiteral("historyList"));
  list_->setItemDelegate(new HistoryViewDelegate(list_));
  list_->setModel(rows_);
  layout->addWidget(list_);

  connect(&model_, &AppModel::stateChanged, this, &HistoryView::refresh);
  connect(&model_, &AppModel::searchChanged, this, &HistoryView::refresh);
  refresh();
}

void HistoryView::refresh() {
  rows_->setHistory(model_.state().history, model_.search(), QTimeZone::systemTimeZone());
  const bool none = rows_->rowCount() == 0;
  empty_->setVisible(none);
  list_->setVisible(!none);
}

}  // namespace larkvale
