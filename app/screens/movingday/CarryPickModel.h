#pragma once
// The rows of the Copy Settings list: the settings items the inventory
// offers (SettingsCopier::settingsPicks), narrowed by the main window's
// search to the items whose app name contains the search text, in offered
// order. Three columns: the tick box with the app's name (ticking inserts or
// removes the item's path in the model's chosen set), the path, and the
// measured size ("…" until measured, "—" for nothing). A search change while
// the window shows but the list's pane is hidden waits for catchUp(); the
// offered items always follow the inventory. Main thread.
#include <QAbstractTableModel>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "kit/movingday/SettingsPick.h"

namespace larkvale {

class AppModel;

namespace movingday {

class CarryPickModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { nameColumn, pathColumn, sizeColumn, columnCount_ };
  // The item's path as read (the key of the chosen set), never shown.
  static constexpr int pathRole = Qt::UserRole + 1;

  explicit CarryPickModel(AppModel& model, QObject* parent = nullptr);

  // Every offered item, whatever the search.
  const std::vector<SettingsPick>& offered() const { return offered_; }
  // The offered items that are ticked, in offered order.
  std::vector<SettingsPick> ticked() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The pane whose visibility decides whether a search change narrows the
  // rows at once; without one, every change does.
  void setShownBy(QWidget* pane) { pane_ = pane; }
  // Narrows the rows when a search change was put off while the pane was
  // hidden.
  void catchUp();

  // The size cell's text for a path.
  QString sizeCell(const std::string& tildePath) const;

 private:
  void rebuild();
  void narrow();
  void searchChanged();
  void refreshColumn(int column);

  AppModel& model_;
  std::vector<SettingsPick> offered_;
  std::vector<size_t> shown_;  // positions in offered_
  QPointer<QWidget> pane_;
  bool stale_ = false;  // the search changed while the pane was hidden
};

}  // namespace movingday
}  // namespace larkvale
