#include "app/screens/movingday/NewMacPane.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/DiffView.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/EmptyState.h"
#include "app/ui/SymbolButton.h"

namespace larkvale::movingday {
namespace {

constexpr int kMaxWidth = 920;

}  // namespace

NewMacPane::NewMacPane(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), slot_(new QVBoxLayout) {
  setObjectName(QStringLiteral("newMacPane"));
  auto* header =
      new TitleRow(tr("New Mac Check"),
                   tr("On the new Mac, open the folder Copy Settings made. Larkvale compares its "
                      "list with the apps and settings here. Read-only: nothing is installed or "
                      "copied."));
  auto* open = new QPushButton(tr("Open Moving Day Folder…"));
  ui::setButtonSymbol(open, QStringLiteral("folder"));
  open->setObjectName(QStringLiteral("openMovingDayFolder"));
  open->setDefault(true);
  header->buttons()->addWidget(open);
  // Always enabled: pressing it again during a comparison starts another.
  connect(open, &QPushButton::clicked, this, [this] { model_.newMacCheck(); });

  QVBoxLayout* column = scrollingColumn(this, kMaxWidth, QStringLiteral("newMac"));
  column->addWidget(header);
  slot_->setContentsMargins(0, 0, 0, 0);
  column->addLayout(slot_);
  column->addStretch(1);

  connect(&model_, &AppModel::newMacLoadingChanged, this, &NewMacPane::refresh);
  connect(&model_, &AppModel::newMacDiffChanged, this, &NewMacPane::refresh);
  refresh();
}

void NewMacPane::refresh() {
  delete shown_;
  if (model_.newMacLoading()) {
    shown_ = new BusyView(tr("Comparing with the apps on this Mac…"));
    shown_->setObjectName(QStringLiteral("newMacLoading"));
  } else if (const OptionalNewMacDiff& diff = model_.newMacDiff()) {
    shown_ = new DiffView(model_, *diff);
  } else {
    shown_ = contentUnavailable(
        QStringLiteral("desktopcomputer"), tr("No Moving day folder open"),
        tr("Choose the “Larkvale Moving Day …” folder from your drive, or its manifest.json."));
    shown_->setObjectName(QStringLiteral("newMacEmpty"));
  }
  slot_->addWidget(shown_);
  if (!model_.newMacLoading() && !model_.newMacDiff()) shown_->setMinimumHeight(260);
}

}  // namespace larkvale::movingday
