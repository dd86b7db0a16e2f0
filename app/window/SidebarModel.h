#pragma once
// The rows of the main window's sidebar: three section headers, each followed
// by its panes, with each pane's badge count read from the model on demand.
//
// Main thread only. Holds no copy of model state: titles and counts are read
// from AppModel whenever a view asks (the icons, which never change, are made
// once), and a change of the model's state tells the views that every badge
// may have changed.
#include <QAbstractListModel>
#include <QIcon>
#include <array>
#include <optional>

#include "app/model/AppModel.h"

namespace larkvale {

class SidebarModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    paneRole = Qt::UserRole + 1,  // the row's Pane as int; invalid for a header
    badgeRole,                    // int; 0 shows no badge
    headerRole,                   // bool: the row is a section header
    symbolRole,                   // QString: the pane's symbol name
  };

  explicit SidebarModel(AppModel& model, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Header rows are neither enabled nor selectable, so neither the mouse nor
  // the keyboard can rest on them.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  QModelIndex indexOf(Pane pane) const;
  // The pane of a row; nothing for a header or an invalid index.
  std::optional<Pane> paneAt(const QModelIndex& index) const;

 private:
  AppModel& model_;
  mutable std::array<QIcon, Panes::all.size()> icons_;  // each pane's symbol, once made
};

}  // namespace larkvale
