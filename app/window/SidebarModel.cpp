#include "app/window/SidebarModel.h"

#include <QCoreApplication>
#include <iterator>

#include "app/ui/Symbols.h"

namespace larkvale {
namespace {

// A row is a section header when `header` is set, otherwise the pane's row.
struct Row {
  const char* header;
  Pane pane;
};

constexpr Row kRows[] = {
    {QT_TRANSLATE_NOOP("Sidebar", "Updates"), Pane::updates},
    {nullptr, Pane::updates},
    {nullptr, Pane::allApps},
    {nullptr, Pane::held},
    {nullptr, Pane::history},
    {QT_TRANSLATE_NOOP("Sidebar", "Moving day"), Pane::inventory},
    {nullptr, Pane::inventory},
    {nullptr, Pane::checklist},
    {nullptr, Pane::carry},
    {nullptr, Pane::newMac},
    {QT_TRANSLATE_NOOP("Sidebar", "Larkvale"), Pane::settings},
    {nullptr, Pane::settings},
};
constexpr int kRowCount = static_cast<int>(std::size(kRows));

const Row* rowAt(const QModelIndex& index) {
  if (!index.isValid() || index.row() < 0 || index.row() >= kRowCount) return nullptr;
  return &kRows[index.row()];
}

}  // namespace

SidebarModel::SidebarModel(AppModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {
  connect(&model_, &AppModel::stateChanged, this,
          [this] { emit dataChanged(index(0), index(kRowCount - 1), {badgeRole}); });
}

int SidebarModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kRowCount;
}

QVariant SidebarModel::data(const QModelIndex& index, const int role) const {
  const Row* row = rowAt(index);
  if (!row) return {};
  if (row->header) {
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
      return QCoreApplication::translate("Sidebar", row->header);
    }
    if (role == headerRole) return true;
    return {};
  }
  switch (role) {
    case Qt::DisplayRole:
      return Panes::title(row->pane);
    case Qt::DecorationRole: {
      // Read at every layout of the list (each change of a count): made once.
      QIcon& icon = icons_[static_cast<size_t>(row->pane)];
      if (icon.isNull()) icon = ui::Symbols::icon(Panes::symbol(row->pane));
      return icon;
    }
    case symbolRole: {
      const std::string_view symbol = Panes::symbol(row->pane);
      return QString::fromLatin1(symbol.data(), static_cast<qsizetype>(symbol.size()));
    }
    case paneRole:
      return static_cast<int>(row->pane);
    case badgeRole:
      return model_.badgeCount(row->pane);
    case headerRole:
      return false;
    default:
      return {};
  }
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const {
  const Row* row = rowAt(index);
  if (!row || row->header) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QModelIndex SidebarModel::indexOf(const Pane pane) const {
  for (int i = 0; i < kRowCount; ++i) {
    if (!kRows[i].header && kRows[i].pane == pane) return index(i);
  }
  return {};
}

std::optional<Pane> SidebarModel::paneAt(const QModelIndex& index) const {
  const Row* row = rowAt(index);
  if (!row || row->header || index.model() != this) return std::nullopt;
  return row->pane;
}

}  // namespace larkvale
