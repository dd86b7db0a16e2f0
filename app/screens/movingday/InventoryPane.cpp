#include "app/screens/movingday/InventoryPane.h"

#include <QEvent>
#include <QHeaderView>
#include <QSplitter>
#include <QStackedLayout>
#include <QTableView>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/InventoryDetail.h"
#include "app/screens/movingday/InventoryTableDelegate.h"
#include "app/screens/movingday/InventoryTableModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/movingday/MovingDayHeader.h"
#include "app/screens/movingday/NoAppsFound.h"
#include "app/screens/movingday/StatsRow.h"

namespace larkvale::movingday {
namespace {

struct ColumnWidth {
  int minimum;
  int ideal;
};
constexpr ColumnWidth kWidths[] = {{170, 220}, {60, 80}, {110, 140}, {160, 240}, {90, 110}};

}  // namespace

QString InventoryPane::subtitle(const QString& macName) {
  return tr("Every app on %1, where it came from and where its settings live. Read-only: nothing "
            "is copied or exported until you choose Export.")
      .arg(macName);
}

InventoryPane::InventoryPane(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      rows_(new InventoryTableModel(model, this)),
      header_(
          new MovingDayHeader(model, tr("Inventory"), subtitle(shownLine(model.macName())), this)),
      body_(new QStackedLayout),
      busy_(new BusyView(tr("Reading apps and settings folders…"), this)),
      overview_(new QWidget(this)),
      noApps_(noAppsView(QStringLiteral("inventoryNoApps"), this)),
      stats_(new StatsRow(overview_)),
      table_(new QTableView(overview_)),
      detail_(new InventoryDetail(model, this)) {
  setObjectName(QStringLiteral("inventoryPane"));
  header_->setObjectName(QStringLiteral("movingDayHeader"));
  busy_->setObjectName(QStringLiteral("inventoryLoading"));
  stats_->setObjectName(QStringLiteral("inventoryStats"));
  table_->setObjectName(QStringLiteral("inventoryTable"));

  (new InventoryTableDelegate(table_))->install(table_);
  rows_->setShownBy(this);
  table_->setModel(rows_);
  QHeaderView* columns = table_->horizontalHeader();
  columns->setSectionsClickable(false);
  columns->setMinimumSectionSize(kWidths[InventoryTableModel::versionColumn].minimum);
  for (int column = 0; column < InventoryTableModel::columnCount_; ++column) {
    columns->setSectionResizeMode(column, QHeaderView::Fixed);
    columns->resizeSection(column, kWidths[column].ideal);
  }
  table_->viewport()->installEventFilter(this);

  auto* overviewLayout = new QVBoxLayout(overview_);
  overviewLayout->setContentsMargins(0, 0, 0, 0);
  overviewLayout->setSpacing(10);
  overviewLayout->addWidget(stats_);
  overviewLayout->addWidget(table_, 1);
  body_->addWidget(busy_);
  body_->addWidget(overview_);
  body_->addWidget(noApps_);

  auto* top = new QWidget(this);
  top->setObjectName(QStringLiteral("inventoryOverview"));
  top->setMinimumHeight(260);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(18, 18, 18, 8);
  topLayout->setSpacing(10);
  topLayout->addWidget(header_);
  topLayout->addLayout(body_, 1);

  detail_->setMinimumHeight(200);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->setObjectName(QStringLiteral("inventorySplit"));
  split->setChildrenCollapsible(false);
  split->addWidget(top);
  split->addWidget(detail_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  split->setSizes({400, 260});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);

  for (auto signal :
       {&AppModel::inventoryLoadingChanged, &AppModel::inventoryChanged, &AppModel::stateChanged}) {
    connect(&model_, signal, this, &InventoryPane::refreshBody);
  }
  connect(&model_, &AppModel::inventoryChanged, this, &InventoryPane::refreshCounts);
  connect(&model_, &AppModel::inventorySelectionChanged, this, &InventoryPane::selectFromModel);
  // A rebuilt table (new inventory, new search) selects the model's app again.
  connect(rows_, &QAbstractItemModel::modelReset, this, &InventoryPane::selectFromModel);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &InventoryPane::selectionFromView);
  refreshBody();
  refreshCounts();
  selectFromModel();
}

bool InventoryPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_->viewport() && event->type() == QEvent::Resize) fitColumns();
  return QWidget::eventFilter(watched, event);
}

// Every column keeps its minimum; width beyond the minimums brings each
// column towards its ideal width in proportion, and what is left after that
// goes to the install column. Only a table narrower than the minimums
// scrolls sideways.
void InventoryPane::fitColumns() {
  int minimums = 0;
  int room = 0;
  for (const ColumnWidth& width : kWidths) {
    minimums += width.minimum;
    room += width.ideal - width.minimum;
  }
  const int extra = std::max(0, table_->viewport()->width() - minimums);
  const int shared = std::min(extra, room);
  QHeaderView* columns = table_->horizontalHeader();
  int given = 0;
  for (int column = 0; column < InventoryTableModel::columnCount_; ++column) {
    const ColumnWidth& width = kWidths[column];
    const int grow = room > 0 ? (width.ideal - width.minimum) * shared / room : 0;
    given += grow;
    columns->resizeSection(column, width.minimum + grow);
  }
  const int install = InventoryTableModel::installColumn;
  columns->resizeSection(install, columns->sectionSize(install) + extra - given);
}

void InventoryPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  rows_->catchUp();
  model_.loadInventory();
}

void InventoryPane::refreshBody() {
  const bool none = noAppsFound(model_);
  if (model_.inventoryLoading()) {
    body_->setCurrentWidget(busy_);
  } else {
    body_->setCurrentWidget(none ? noApps_ : overview_);
  }
  // "Select an app" has nothing to ask for under "No apps found".
  detail_->setVisible(!none);
}

void InventoryPane::refreshCounts() {
  int casks = 0, store = 0, direct = 0, withSettings = 0;
  for (const InventoryEntry& entry : model_.inventory()) {
    if (entry.caskToken) ++casks;
    const auto kind = entry.source.kind();
    if (kind == UpdateSource::Kind::appStore) ++store;
    if (kind == UpdateSource::Kind::unknown || kind == UpdateSource::Kind::sparkle) ++direct;
    if (!entry.settings.empty()) ++withSettings;
  }
  stats_->setItems({{QString::number(casks), tr("Homebrew casks"), ui::Tint::orange},
                    {QString::number(store), tr("App Store apps"), ui::Tint::blue},
                    {QString::number(direct), tr("direct downloads"), ui::Tint::purple},
                    {QString::number(withSettings), tr("with settings to carry"), ui::Tint::teal}});
}

void InventoryPane::selectFromModel() {
  const OptionalText& selected = model_.inventorySelection();
  std::optional<int> row = selected ? rows_->rowOf(*selected) : std::nullopt;
  applyingSelection_ = true;
  if (row) {
    table_->selectRow(*row);
    table_->scrollTo(rows_->index(*row, 0));
  } else {
    table_->clearSelection();
  }
  applyingSelection_ = false;
}

void InventoryPane::selectionFromView() {
  if (applyingSelection_) return;
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    model_.setInventorySelection(std::nullopt);
  } else {
    model_.setInventorySelection(rows_->pathAt(rows.first().row()));
  }
}

}  // namespace larkvale::movingday
