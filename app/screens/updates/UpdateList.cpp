#include "app/screens/updates/UpdateList.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "app/screens/updates/Labels.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/UpdateTableDelegate.h"
#include "app/screens/updates/UpdateTableModel.h"
#include "app/screens/updates/UpdatesEmptyView.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/KeptCurrent.h"
#include "app/ui/Stat.h"

namespace larkvale {
namespace {

// Ideal and least widths of the columns, in order; the last one takes the
// rest and has no least width of its own.
constexpr int kColumnWidths[] = {220, 90, 90, 140, 130};
constexpr int kLeastWidths[] = {170, 70, 70, 110, 110};
constexpr int kNarrowestColumn = 40;
// What the Released column keeps for an abbreviated date when the others
// give up room.
constexpr int kReleasedRoom = 90;

int sum(const int (&widths)[5]) {
  int out = 0;
  for (int width : widths) out += width;
  return out;
}

// Gives the columns their ideal widths where the table has the room, and
// shares out what there is between least and ideal widths where it hasn't,
// so that a narrow window shows every column without sideways scrolling.
void fitColumns(QTableView* table) {
  const int room = table->viewport()->width() - kReleasedRoom;
  const int least = sum(kLeastWidths);
  const int spare = sum(kColumnWidths) - least;
  const int share = std::clamp(room - least, 0, spare);
  QHeaderView* header = table->horizontalHeader();
  for (int column = 0; column < static_cast<int>(std::size(kColumnWidths)); ++column) {
    const int give = (kColumnWidths[column] - kLeastWidths[column]) * share / spare;
    header->resizeSection(column, kLeastWidths[column] + give);
  }
}

// Refits the columns whenever the table's viewport changes width.
class ColumnFitter : public QObject {
 public:
  explicit ColumnFitter(QTableView* table) : QObject(table), table_(table) {
    table->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) fitColumns(table_);
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableView* table_;
};

QTableView* makeTable(QWidget* parent) {
  auto* table = new QTableView(parent);
  table->setObjectName(QStringLiteral("updateTable"));
  (new UpdateTableDelegate(table))->install(table);
  table->setTabKeyNavigation(false);
  table->setContextMenuPolicy(Qt::CustomContextMenu);
  QHeaderView* header = table->horizontalHeader();
  header->setMinimumSectionSize(kNarrowestColumn);
  // The stretched last column never shrinks below the default size.
  header->setDefaultSectionSize(kNarrowestColumn);
  header->setStretchLastSection(true);
  return table;
}

}  // namespace

UpdateList::UpdateList(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      title_(styledLabel(QString(), ui::TextStyle::title2, QFont::Bold, this)),
      subtitle_(new ui::ClampedLabel(QString(), 2, this)),
      safeButton_(new QPushButton(tr("Update All That Are Safe…"), this)),
      caskButton_(new QPushButton(this)),
      counts_(new QHBoxLayout),
      body_(new QStackedWidget(this)),
      table_(makeTable(body_)),
      rows_(new UpdateTableModel(this)),
      empty_(new UpdatesEmptyView(body_)) {
  title_->setObjectName(QStringLiteral("paneTitle"));
  subtitle_->setObjectName(QStringLiteral("paneSubtitle"));
  subtitle_->setFont(ui::Fonts::font(ui::TextStyle::callout, font()));
  safeButton_->setObjectName(QStringLiteral("safeUpdates"));
  safeButton_->setToolTip(
      tr("A confirm list of Sparkle and Homebrew updates, handed off one at a time"));
  UpdateActions::makeProminent(safeButton_);
  UpdateActions::setSymbol(safeButton_, QStringLiteral("checkmark.shield"));
  caskButton_->setObjectName(QStringLiteral("upgradeCasks"));
  caskButton_->setToolTip(
      tr("Opens a terminal window with one brew command; it runs only when you press "
         "Return there"));
  UpdateActions::setSymbol(caskButton_, QStringLiteral("terminal"));
  empty_->setObjectName(QStringLiteral("emptyState"));
  body_->setObjectName(QStringLiteral("listBody"));

  table_->setModel(rows_);
  fitColumns(table_);
  new ColumnFitter(table_);
  connect(
      table_->horizontalHeader(), &QHeaderView::sectionResized, table_,
      [header = table_->horizontalHeader()](int section, int, int width) {
        if (section < static_cast<int>(std::size(kLeastWidths)) && width < kLeastWidths[section]) {
          header->resizeSection(section, kLeastWidths[section]);
        }
      });
  body_->addWidget(table_);
  body_->addWidget(empty_);

  auto* heading = new QVBoxLayout;
  heading->setSpacing(2);
  heading->addWidget(title_);
  heading->addWidget(subtitle_);
  auto* header = new QHBoxLayout;
  header->addLayout(heading, 1);
  header->addWidget(safeButton_, 0, Qt::AlignTop);
  header->addWidget(caskButton_, 0, Qt::AlignTop);
  counts_->setSpacing(10);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(18, 18, 18, 8);
  column->setSpacing(10);
  column->addLayout(header);
  column->addLayout(counts_);
  column->addWidget(body_, 1);
  applyColours();

  connect(safeButton_, &QPushButton::clicked, this, [this] { model_.startSafeUpdates(); });
  connect(caskButton_, &QPushButton::clicked, this, [this] {
    model_.upgradeInTerminal(model_.homebrewPending(), AppModel::UpgradeFrom::caskList);
  });
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!syncing_) takeSelection();
  });
  connect(table_, &QWidget::customContextMenuRequested, this, &UpdateList::showRowMenu);
  connect(&model_, &AppModel::stateChanged, this, &UpdateList::refreshSoon);
  connect(&model_, &AppModel::paneChanged, this, &UpdateList::refreshSoon);
  connect(&model_, &AppModel::searchChanged, this, &UpdateList::refreshSoon);
  connect(&model_, &AppModel::selectionChanged, this, &UpdateList::showSelection);
  // The last-check sentence tells a time relative to now: true whenever it
  // is in view, however long the window was closed.
  new ui::KeptCurrent(subtitle_, [this] { refreshSubtitle(); });
  refresh();
}

UpdateList::~UpdateList() {
  // Taking the table down must not reach the model as a cleared selection.
  disconnect(table_->selectionModel(), nullptr, this, nullptr);
}

QString UpdateList::subtitle(Pane pane, const AppState& state, Date now) {
  if (pane == Pane::held) {
    return tr("Versions you skipped (they come back when a newer one appears) and apps on hold.");
  }
  QString lastCheck;
  if (state.lastReport) {
    lastCheck = tr("Checked %1.").arg(RelativeDates::format(state.lastReport->date, now));
  }
  if (pane == Pane::updates)
    return tr("Apps with a newer version from their own source. ") + lastCheck;
  return tr("Every app in /Applications and ~/Applications with where its updates come from. ") +
         lastCheck;
}

void UpdateList::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) refresh();
}

void UpdateList::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyColours();
}

void UpdateList::applyColours() {
  QPalette dimmed = subtitle_->palette();
  dimmed.setColor(QPalette::WindowText, ui::Tints::secondaryText(palette()));
  subtitle_->setPalette(dimmed);
}

void UpdateList::refreshSoon() {
  // A page the window isn't showing catches up when it is shown.
  if (!isVisible() && window()->isVisible()) {
    stale_ = true;
    return;
  }
  refresh();
}

void UpdateList::refresh() {
  stale_ = false;
  refreshHeader();
  refreshCounts();
  refreshRows();
}

void UpdateList::refreshHeader() {
  const Pane pane = model_.pane();
  title_->setText(Panes::title(pane));
  refreshSubtitle();
  const bool updates = pane == Pane::updates;
  safeButton_->setVisible(updates && model_.hasSafeCandidates());
  const int casks = model_.homebrewPendingCount();
  caskButton_->setVisible(updates && casks >= 2);
  caskButton_->setText(tr("Upgrade %n Casks in Terminal…", nullptr, casks));
}

void UpdateList::refreshSubtitle() {
  subtitle_->setText(subtitle(model_.pane(), model_.state(), model_.now()));
}

void UpdateList::refreshCounts() {
  const AppModel::ReportCounts& report = model_.reportCounts();
  struct Count {
    const char* name;
    int value;
    QString label;
    ui::Tint tint;
  };
  const Count counts[] = {
      {"statWaiting", report.waiting, tr("updates waiting"), ui::Tint::accent},
      {"statCurrent", report.current, tr("up to date"), ui::Tint::green},
      {"statUnchecked", report.notChecked, tr("couldn't check"), ui::Tint::orange},
      {"statNoSource", report.noSource, tr("no feed (unknown or macOS)"), ui::Tint::gray},
  };
  // The counters have fixed texts: a changed count replaces its counter.
  for (int i = 0; i < 4; ++i) {
    const Count& count = counts[i];
    QLayoutItem* item = counts_->itemAt(i);
    auto* stat = item ? qobject_cast<ui::Stat*>(item->widget()) : nullptr;
    const QString value = QString::number(count.value);
    if (stat && stat->value() == value && stat->label() == count.label) continue;
    auto* fresh = new ui::Stat(value, count.label, count.tint, this);
    fresh->setObjectName(QLatin1String(count.name));
    if (stat) {
      delete counts_->replaceWidget(stat, fresh);
      delete stat;
    } else {
      counts_->addWidget(fresh);
    }
  }
}

void UpdateList::refreshRows() {
  const Pane pane = model_.pane();
  syncing_ = true;
  rows_->setRows(model_.paneRows(pane));
  syncing_ = false;
  if (rows_->rowCount() > 0) {
    body_->setCurrentWidget(table_);
  } else {
    const auto& report = model_.state().lastReport;
    empty_->showFor(pane, !model_.search().isEmpty(), report && report->updates.empty());
    body_->setCurrentWidget(empty_);
  }
  showSelection();
}

void UpdateList::showSelection() {
  const OptionalText& selection = model_.selection();
  const int row = selection ? rows_->rowOf(*selection) : -1;
  QItemSelectionModel* chosen = table_->selectionModel();
  const QModelIndexList now = chosen->selectedRows();
  if (row < 0 ? now.isEmpty() : now.size() == 1 && now.front().row() == row) return;
  syncing_ = true;
  if (row < 0) {
    chosen->clear();
  } else {
    const QModelIndex index = rows_->index(row, 0);
    chosen->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
  }
  syncing_ = false;
}

void UpdateList::takeSelection() {
  const QModelIndexList selected = table_->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    model_.setSelection(std::nullopt);
  } else {
    model_.setSelection(selected.front().data(UpdateTableModel::pathRole).toString());
  }
}

void UpdateList::showRowMenu(const QPoint& position) {
  const QModelIndex index = table_->indexAt(position);
  const auto& report = model_.state().lastReport;
  if (!index.isValid() || !report) return;
  const std::string path = index.data(UpdateTableModel::pathRole).toString().toStdString();
  auto found = std::find_if(report->updates.begin(), report->updates.end(),
                            [&path](const AppUpdate& update) { return update.app.path == path; });
  if (found == report->updates.end()) return;
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("rowMenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  UpdateActions::addToMenu(model_, *found, menu);
  menu->popup(table_->viewport()->mapToGlobal(position));
}

}  // namespace larkvale
