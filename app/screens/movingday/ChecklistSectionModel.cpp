#include "app/screens/movingday/ChecklistSectionModel.h"

#include <QUrl>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"

namespace larkvale::movingday {

ChecklistSectionModel::ChecklistSectionModel(AppModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {}

void ChecklistSectionModel::setItems(std::vector<ChecklistItem> items) {
  if (items == items_) return;
  beginResetModel();
  items_ = std::move(items);
  endResetModel();
}

void ChecklistSectionModel::ticksChanged() {
  if (items_.empty()) return;
  emit dataChanged(index(0), index(static_cast<int>(items_.size()) - 1),
                   {tickedRole, Qt::CheckStateRole});
}

QString ChecklistSectionModel::linkLabel(const std::string& link) {
  const QUrl url(qs(link));
  if (url.scheme() == QLatin1String("macappstore")) return tr("Open in App Store");
  if (!url.host().isEmpty()) return url.host();
  return qs(link);
}

int ChecklistSectionModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

Qt::ItemFlags ChecklistSectionModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
}

QVariant ChecklistSectionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(items_.size())) return {};
  const ChecklistItem& item = items_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return qs(item.title);
    case idRole:
      return qs(item.id);
    case detailRole:
      return item.detail ? qs(*item.detail) : QString();
    case commandRole:
      return item.command ? qs(*item.command) : QString();
    case linkRole:
      return item.link ? qs(*item.link) : QString();
    case linkLabelRole:
      return item.link ? linkLabel(*item.link) : QString();
    case tickedRole:
      return model_.state().ticked.contains(item.id);
    case Qt::CheckStateRole:
      return model_.state().ticked.contains(item.id) ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

}  // namespace larkvale::movingday
