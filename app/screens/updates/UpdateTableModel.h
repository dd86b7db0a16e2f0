#pragma once
// The rows of the update table as an item model: one row per update, in the
// order given, six columns (App, Installed, Latest, Source, Status,
// Released). It shares the rows it was last handed, with the effective
// status of each, as the app model keeps them (no copy); setRows() replaces
// everything in one reset. Main thread.
#include <QAbstractTableModel>

#include <vector>

#include "app/model/AppModel.h"
#include "app/screens/updates/UpdateDates.h"

namespace larkvale {

class UpdateTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    appColumn,
    installedColumn,
    latestColumn,
    sourceColumn,
    statusColumn,
    releasedColumn,
    columnCount_
  };

  enum Role {
    pathRole = Qt::UserRole + 1,  // QString: the app's bundle path, the row's identity
    symbolRole,                   // QString: the chip's symbol (Source, Status); the mark (App)
    tintRole,                     // int (ui::Tint): the chip's tint (Source, Status)
    emphasisRole,                 // bool: drawn in the accent colour, semibold (Latest)
  };

  explicit UpdateTableModel(QObject* parent = nullptr);

  void setRows(std::shared_ptr<const AppModel::PaneRows> rows);

  // The row of the app at `path`, or -1.
  int rowOf(const QString& path) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The App column's mark of an important update: shown only while the
  // update is available (whatever its effective status).
  static bool showsImportantMark(const AppUpdate& update);

 private:
  QVariant display(const AppUpdate& update, int row, int column) const;

  std::shared_ptr<const AppModel::PaneRows> rows_;
  AbbreviatedDates dates_;
};

}  // namespace larkvale
