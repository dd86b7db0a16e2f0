#include "app/screens/updates/UpdateTableModel.h"

#include "app/model/ShownText.h"
#include "app/screens/updates/StatusChip.h"
#include "app/ui/SourceLook.h"

namespace larkvale {
namespace {

// What a row shows of an app's values; the path role stays the key it is.
QString text(const std::string& utf8) {
  return shown::line(utf8);
}

}  // namespace

UpdateTableModel::UpdateTableModel(QObject* parent)
    : QAbstractTableModel(parent), rows_(std::make_shared<AppModel::PaneRows>()) {}

void UpdateTableModel::setRows(std::shared_ptr<const AppModel::PaneRows> rows) {
  beginResetModel();
  rows_ = rows ? std::move(rows) : std::make_shared<AppModel::PaneRows>();
  endResetModel();
}

int UpdateTableModel::rowOf(const QString& path) const {
  const std::string wanted = path.toStdString();
  for (size_t i = 0; i < rows_->size(); ++i) {
    if (rows_->at(i).app.path == wanted) return static_cast<int>(i);
  }
  return -1;
}

int UpdateTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_->size());
}

int UpdateTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columnCount_;
}

bool UpdateTableModel::showsImportantMark(const AppUpdate& update) {
  return update.critical && update.hasUpdate();
}

QVariant UpdateTableModel::display(const AppUpdate& update, int row, int column) const {
  switch (column) {
    case appColumn:
      return text(update.app.name);
    case installedColumn:
      return text(update.app.version);
    case latestColumn:
      return update.latestVersion ? text(*update.latestVersion) : QStringLiteral("—");
    case sourceColumn:
      return SourceLook::of(update.source).label;
    case statusColumn:
      return StatusChip::look(rows_->effective[static_cast<size_t>(row)], update.source).text;
    case releasedColumn:
      return update.released ? dates_.format(*update.released) : QString();
    default:
      return {};
  }
}

QVariant UpdateTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const int row = index.row();
  const AppUpdate& update = rows_->at(static_cast<size_t>(row));
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return display(update, row, column);
    case pathRole:
      return QString::fromStdString(update.app.path);
    case Qt::ToolTipRole:
      if (column == appColumn && showsImportantMark(update)) {
        return tr("The developer marks this update as important");
      }
      return {};
    case Qt::AccessibleTextRole:
      if (column == appColumn && showsImportantMark(update)) {
        return text(update.app.name) + QStringLiteral(", ") + tr("Important update");
      }
      return display(update, row, column);
    case symbolRole:
      if (column == appColumn && showsImportantMark(update)) {
        return QStringLiteral("exclamationmark.shield.fill");
      }
      if (column == sourceColumn) return SourceLook::of(update.source).symbol;
      if (column == statusColumn) {
        return StatusChip::look(rows_->effective[static_cast<size_t>(row)], update.source).symbol;
      }
      return {};
    case tintRole:
      if (column == sourceColumn) return static_cast<int>(SourceLook::of(update.source).tint);
      if (column == statusColumn) {
        return static_cast<int>(
            StatusChip::look(rows_->effective[static_cast<size_t>(row)], update.source).tint);
      }
      return {};
    case emphasisRole:
      return column == latestColumn && update.hasUpdate();
    default:
      return {};
  }
}

QVariant UpdateTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case appColumn:
      return tr("App");
    case installedColumn:
      return tr("Installed");
    case latestColumn:
      return tr("Latest");
    case sourceColumn:
      return tr("Source");
    case statusColumn:
      return tr("Status");
    case releasedColumn:
      return tr("Released");
    default:
      return {};
  }
}

}  // namespace larkvale
