#include "app/screens/movingday/CarryPickModel.h"

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/PlainTip.h"
#include "kit/movingday/SettingsCopier.h"

namespace larkvale::movingday {
namespace {

// A pane the window isn't showing catches up when it is shown; while the
// window itself is hidden, everything keeps up at once.
bool hiddenInShownWindow(const QWidget& pane) {
  return !pane.isVisible() && pane.window()->isVisible();
}

}  // namespace

CarryPickModel::CarryPickModel(AppModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model) {
  connect(&model_, &AppModel::inventoryChanged, this, &CarryPickModel::rebuild);
  connect(&model_, &AppModel::searchChanged, this, &CarryPickModel::searchChanged);
  connect(&model_, &AppModel::carryChosenChanged, this, [this] { refreshColumn(nameColumn); });
  connect(&model_, &AppModel::carrySizesChanged, this, [this] { refreshColumn(sizeColumn); });
  rebuild();
}

void CarryPickModel::rebuild() {
  beginResetModel();
  offered_ = SettingsCopier::settingsPicks(model_.inventory());
  narrow();
  endResetModel();
}

void CarryPickModel::narrow() {
  stale_ = false;
  shown_.clear();
  for (size_t i = 0; i < offered_.size(); ++i) {
    // Hiding an item never unticks it.
    if (nameMatches(offered_[i].appName, model_.search())) shown_.push_back(i);
  }
}

// The offered items depend on the inventory only: a new search narrows them
// again without working them out anew.
void CarryPickModel::searchChanged() {
  if (pane_ && hiddenInShownWindow(*pane_)) {
    stale_ = true;
    return;
  }
  beginResetModel();
  narrow();
  endResetModel();
}

void CarryPickModel::catchUp() {
  if (!stale_) return;
  beginResetModel();
  narrow();
  endResetModel();
}

void CarryPickModel::refreshColumn(int column) {
  if (shown_.empty()) return;
  emit dataChanged(index(0, column), index(static_cast<int>(shown_.size()) - 1, column));
}

std::vector<SettingsPick> CarryPickModel::ticked() const {
  std::vector<SettingsPick> out;
  const TextSet& chosen = model_.carryChosen();
  for (const SettingsPick& pick : offered_) {
    if (chosen.contains(pick.tildePath)) out.push_back(pick);
  }
  return out;
}

QString CarryPickModel::sizeCell(const std::string& tildePath) const {
  const CarrySizes& sizes = model_.carrySizes();
  const auto found = sizes.find(tildePath);
  if (found == sizes.end()) return QStringLiteral("…");
  if (found->second.bytes == 0 && found->second.files == 0) return QStringLiteral("—");
  return sizeText(found->second.bytes);
}

int CarryPickModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int CarryPickModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columnCount_;
}

Qt::ItemFlags CarryPickModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled;
  if (index.column() == nameColumn) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant CarryPickModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(shown_.size())) return {};
  const SettingsPick& pick = offered_[shown_[static_cast<size_t>(index.row())]];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      if (column == nameColumn) return shownLine(pick.appName);
      if (column == pathColumn) return shownPath(pick.tildePath);
      return sizeCell(pick.tildePath);
    case Qt::ToolTipRole:
      return column == pathColumn ? QVariant(ui::plainTip(shownPath(pick.tildePath))) : QVariant();
    case Qt::AccessibleTextRole:
      if (column == nameColumn) {
        return tr("Copy %1: %2").arg(shownLine(pick.appName), shownPath(pick.tildePath));
      }
      return data(index, Qt::DisplayRole);
    case Qt::CheckStateRole:
      if (column != nameColumn) return {};
      return model_.carryChosen().contains(pick.tildePath) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return column == sizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case pathRole:
      return qs(pick.tildePath);
  }
  return {};
}

bool CarryPickModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != nameColumn || role != Qt::CheckStateRole ||
      index.row() >= static_cast<int>(shown_.size())) {
    return false;
  }
  const SettingsPick& pick = offered_[shown_[static_cast<size_t>(index.row())]];
  model_.setCarryChosen(pick.tildePath, value.toInt() == Qt::Checked);
  return true;
}

}  // namespace larkvale::movingday
