#pragma once
// The main window's sidebar: the panes in their three sections, each with its
// badge count. Exactly one pane row is selected at all times, the model's
// pane: choosing a row sets AppModel::pane, and a change of the pane from
// anywhere (menus, notifications) moves the selection.
//
// Main thread only; the selection is the only state, and it mirrors the model.
#include <QTreeView>

#include "app/model/AppModel.h"

namespace larkvale {

class SidebarModel;

class Sidebar : public QTreeView {
  Q_OBJECT

 public:
  static constexpr int kMinimumWidth = 190;
  static constexpr int kDefaultWidth = 210;

  explicit Sidebar(AppModel& model, QWidget* parent = nullptr);

  SidebarModel* rows() const { return rows_; }
  QSize sizeHint() const override;

 private:
  void showPane();
  void selectionMoved();

  AppModel& model_;
  SidebarModel* rows_;
};

}  // namespace larkvale
