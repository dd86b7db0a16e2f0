#pragma once
// The steps of one section of the restore checklist, as rows of a list: each
// row's text is the step's title; the other parts of the step and whether it
// is ticked (read from the model's saved ticks, so it follows every change)
// are roles. Main thread.
#include <QAbstractListModel>

#include <vector>

#include "kit/movingday/ChecklistItem.h"

namespace larkvale {

class AppModel;

namespace movingday {

class ChecklistSectionModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    idRole = Qt::UserRole + 1,
    detailRole,     // QString, empty when none
    commandRole,    // QString, empty when none
    linkRole,       // QString, empty when none
    linkLabelRole,  // "Open in App Store", the link's host, or the whole link
    tickedRole,     // bool
  };

  ChecklistSectionModel(AppModel& model, QObject* parent = nullptr);

  void setItems(std::vector<ChecklistItem> items);
  const std::vector<ChecklistItem>& items() const { return items_; }
  // Tells the rows that the ticks may have changed.
  void ticksChanged();
  // A sentence added to the export step's detail on a line of its own;
  // empty for none.
  void setExportNote(const QString& note);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The label of a step's link button.
  static QString linkLabel(const std::string& link);

 private:
  AppModel& model_;
  std::vector<ChecklistItem> items_;
  QString exportNote_;
};

}  // namespace movingday
}  // namespace larkvale
