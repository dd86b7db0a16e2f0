#pragma once
// The steps of one section of the restore checklist, as rows of a list: each
// row's text is the step's title; the other parts of the step and whether it
// is ticked (read from the model's saved ticks, so it follows every change)
// are roles. What the rows show holds outside text (names, hosts, paths) in
// its shown form, worked out once per change of the steps; the id and the
// link are kept as read, for what is ticked and opened. Main thread.
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
    idRole = Qt::UserRole + 1,  // QByteArray: the step's id as made (the key of its tick)
    detailRole,                 // QString, empty when none; paths in it written out
    commandRole,                // QString, empty when none
    linkRole,                   // QString, empty when none: the address opened
    linkLabelRole,              // "Open in App Store", the link's host, or the whole link
    tickedRole,                 // bool
    // QString, empty when none: what "Copy Detail" copies, the detail with
    // its paths as they are (they name the files) and the rest as shown.
    detailCopyRole,
  };
  // Qt::ToolTipRole is the link as shown, for the link's tooltip.

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
  // A step's texts as the row shows them.
  struct Shown {
    QString title;
    QString detail;
    QString detailCopy;  // paths as they are, the rest as shown
    QString command;
    QString link;
    QString linkLabel;
  };
  static Shown shownOf(const ChecklistItem& item);

  AppModel& model_;
  std::vector<ChecklistItem> items_;
  std::vector<Shown> shown_;  // one per item
  QString exportNote_;
};

}  // namespace movingday
}  // namespace larkvale
