#include "app/screens/movingday/ChecklistSectionModel.h"

#include <QUrl>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"

namespace larkvale::movingday {
namespace {

// The step that the export buttons tick.
constexpr std::string_view exportStep = "before:export";

}  // namespace

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

void ChecklistSectionModel::setExportNote(const QString& note) {
  if (note == exportNote_) return;
  exportNote_ = note;
  for (size_t row = 0; row < items_.size(); ++row) {
    if (items_[row].id != exportStep) continue;
    const QModelIndex at = index(static_cast<int>(row));
    // The row's height changes with its detail.
    emit dataChanged(at, at);
  }
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
    case detailRole: {
      QString detail = item.detail ? qs(*item.detail) : QString();
      if (item.id == exportStep && !exportNote_.isEmpty()) {
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + exportNote_;
      }
      return detail;
    }
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
