#include "app/screens/movingday/InventoryTableModel.h"

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/PlainTip.h"
#include "app/ui/SourceLook.h"

namespace larkvale::movingday {
namespace {

// A pane the window isn't showing catches up when it is shown; while the
// window itself is hidden, everything keeps up at once.
bool hiddenInShownWindow(const QWidget& pane) {
  return !pane.isVisible() && pane.window()->isVisible();
}

}  // namespace

InventoryTableModel::InventoryTableModel(AppModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model) {
  connect(&model_, &AppModel::inventoryChanged, this, &InventoryTableModel::rebuild);
  connect(&model_, &AppModel::searchChanged, this, &InventoryTableModel::searchChanged);
  rebuild();
}

void InventoryTableModel::searchChanged() {
  if (pane_ && hiddenInShownWindow(*pane_)) {
    stale_ = true;
    return;
  }
  rebuild();
}

void InventoryTableModel::catchUp() {
  if (stale_) rebuild();
}

QString InventoryTableModel::settingsSummary(const InventoryEntry& entry) {
  if (entry.container) return tr("In its container");
  const size_t count = entry.settings.size();
  if (count == 1) return tr("1 place");
  if (count > 1) return tr("%1 places").arg(count);
  return QStringLiteral("—");
}

void InventoryTableModel::rebuild() {
  stale_ = false;
  beginResetModel();
  rows_.clear();
  const QString& search = model_.search();
  for (const InventoryEntry& entry : model_.inventory()) {
    if (!nameMatches(entry.app.name, search)) continue;
    const SourceLook::Look look = SourceLook::of(entry.source);
    rows_.push_back({qs(entry.app.path), shownLine(entry.app.name), shownLine(entry.app.version),
                     look.label, look.symbol, shownLine(entry.installHow()), settingsSummary(entry),
                     look.tint});
  }
  endResetModel();
}

int InventoryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int InventoryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columnCount_;
}

QVariant InventoryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      switch (index.column()) {
        case appColumn:
          return row.name;
        case versionColumn:
          return row.version;
        case sourceColumn:
          return row.source;
        case installColumn:
          return row.install;
        case settingsColumn:
          return row.settings;
      }
      return {};
    case Qt::ToolTipRole:
      return index.column() == installColumn ? QVariant(ui::plainTip(row.install)) : QVariant();
    case pathRole:
      return row.path;
    case symbolRole:
      return index.column() == sourceColumn ? QVariant(row.symbol) : QVariant();
    case tintRole:
      return static_cast<int>(row.tint);
    case secondaryRole:
      return index.column() == installColumn || index.column() == settingsColumn;
  }
  return {};
}

QVariant InventoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case appColumn:
      return tr("App");
    case versionColumn:
      return tr("Version");
    case sourceColumn:
      return tr("Came from");
    case installColumn:
      return tr("Install on the new Mac");
    case settingsColumn:
      return tr("Settings");
  }
  return {};
}

std::optional<int> InventoryTableModel::rowOf(const QString& path) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].path == path) return static_cast<int>(i);
  }
  return std::nullopt;
}

QString InventoryTableModel::pathAt(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  return rows_[static_cast<size_t>(row)].path;
}

}  // namespace larkvale::movingday
