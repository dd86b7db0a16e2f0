#include "app/screens/movingday/ChecklistSectionModel.h"

#include <QUrl>

#include "app/model/AppModel.h"
#include "app/model/ShownText.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "platform/Strings.h"

namespace larkvale::movingday {
namespace {

// The step that the export buttons tick.
constexpr std::string_view exportStep = "before:export";
// The steps whose detail is an app's settings folders, one a line.
constexpr std::string_view settingsStep = "settings:";

// The paths a settings step lists, as read: those of the entry the step was
// made from, so a path keeps even a line break of its own; the detail's
// lines when no entry made it.
std::vector<std::string> settingsPaths(const ChecklistItem& item, const Inventory& inventory) {
  const std::string& detail = item.detail.value_or(std::string());
  for (const InventoryEntry& entry : inventory) {
    if (std::string(settingsStep) + entry.app.bundleID != item.id) continue;
    if (Strings::join(entry.settings, "\n") == detail) return entry.settings;
  }
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = detail.find('\n', start);
    lines.push_back(detail.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

}  // namespace

ChecklistSectionModel::ChecklistSectionModel(AppModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {}

void ChecklistSectionModel::setItems(std::vector<ChecklistItem> items) {
  if (items == items_) return;
  beginResetModel();
  items_ = std::move(items);
  shown_.clear();
  shown_.reserve(items_.size());
  for (const ChecklistItem& item : items_) shown_.push_back(shownOf(item));
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
  if (!url.host().isEmpty()) return shown::line(url.host());
  return shownLine(link);
}

ChecklistSectionModel::Shown ChecklistSectionModel::shownOf(const ChecklistItem& item) const {
  Shown shown;
  shown.title = shownLine(item.title);
  if (item.detail && item.id.starts_with(settingsStep)) {
    QStringList paths, real;
    for (const std::string& path : settingsPaths(item, model_.inventory())) {
      paths << shownPath(path);
      real << QString::fromStdString(path);
    }
    shown.detail = paths.join(QLatin1Char('\n'));
    shown.detailCopy = real.join(QLatin1Char('\n'));
  } else if (item.detail) {
    shown.detail = shownLine(*item.detail);
  }
  if (item.command) shown.command = shownLine(*item.command);
  if (item.link) {
    shown.link = shownLine(*item.link);
    shown.linkLabel = linkLabel(*item.link);
  }
  return shown;
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
  const Shown& shown = shown_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return shown.title;
    case idRole:
      return QByteArray::fromStdString(item.id);
    case detailRole: {
      QString detail = shown.detail;
      if (item.id == exportStep && !exportNote_.isEmpty()) {
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + exportNote_;
      }
      return detail;
    }
    case detailCopyRole:
      return item.id.starts_with(settingsStep) ? QVariant(shown.detailCopy)
                                               : data(index, detailRole);
    case commandRole:
      return shown.command;
    case linkRole:
      return item.link ? qs(*item.link) : QString();
    case linkLabelRole:
      return shown.linkLabel;
    case Qt::ToolTipRole:
      return shown.link.isEmpty() ? QVariant() : QVariant(shown.link);
    case tickedRole:
      return model_.state().ticked.contains(item.id);
    case Qt::CheckStateRole:
      return model_.state().ticked.contains(item.id) ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

}  // namespace larkvale::movingday
