#pragma once
// The rows of the Inventory table: the model's inventory, narrowed by the
// main window's search to the apps whose name contains the search text, in
// the model's order. Five columns: App, Version, Came from, Install on the
// new Mac, Settings. Rebuilt whenever the inventory or the search changes
// (a search change while the window shows but the table's pane is hidden
// waits for catchUp()); it keeps only what the table needs to draw. Main
// thread.
#include <QAbstractTableModel>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/ui/Tints.h"

namespace larkvale {

class AppModel;
struct InventoryEntry;

namespace movingday {

class InventoryTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    appColumn,
    versionColumn,
    sourceColumn,
    installColumn,
    settingsColumn,
    columnCount_
  };
  enum Role {
    pathRole = Qt::UserRole + 1,  // the app's path (the row's identity)
    symbolRole,                   // the source chip's symbol name
    tintRole,                     // the source chip's tint (ui::Tint as int)
    secondaryRole,                // true for texts drawn in the secondary colour
  };

  explicit InventoryTableModel(AppModel& model, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The row of an app path among the shown rows; nothing when it is hidden
  // or not in the inventory.
  std::optional<int> rowOf(const QString& path) const;
  QString pathAt(int row) const;

  // The pane whose visibility decides whether a search change rebuilds at
  // once; without one, every change does.
  void setShownBy(QWidget* pane) { pane_ = pane; }
  // Rebuilds when a search change was put off while the pane was hidden.
  void catchUp();

  // "In its container", "1 place", "3 places" or "—".
  static QString settingsSummary(const InventoryEntry& entry);

 private:
  struct Row {
    QString path, name, version, source, symbol, install, settings;
    ui::Tint tint;
  };

  void rebuild();
  void searchChanged();

  AppModel& model_;
  std::vector<Row> rows_;
  QPointer<QWidget> pane_;
  bool stale_ = false;  // the search changed while the pane was hidden
};

}  // namespace movingday
}  // namespace larkvale
