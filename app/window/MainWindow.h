#pragma once
// The main window (objectName "main"): the sidebar of panes beside the detail
// column, which stacks the current pane's screen over the notice bar; the
// toolbar with the check progress, "Check Now" and the search field; and the
// two sheets of the update side, shown window-modal while the model asks for
// them (AppModel::holdRequest, AppModel::safeSheet).
//
// Main thread only. The window keeps no state of its own: closing and
// opening it again shows the same pane, search text, notice and sheet. The
// shell installs the main menu on menuBar() and decides when the window shows.
//
// A sheet closed in any way (its buttons, Escape, the window manager) clears
// its request in the model; a request cleared or replaced in the model closes
// the sheet. Sheets only show while the window does; a request made while it
// is hidden is shown when it comes up.
#include <QDialog>
#include <QMainWindow>
#include <QPointer>

#include "app/window/Screens.h"

namespace larkvale {

class MainToolbar;
class NoticeBar;
class PaneStack;
class Sidebar;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr QSize kDefaultSize{1120, 740};
  static constexpr QSize kMinimumSize{900, 600};  // of the split view below the toolbar

  MainWindow(AppModel& model, Screens screens, QWidget* parent = nullptr);

  // The open sheets, null when none is shown.
  QDialog* holdSheet() const { return holdSheet_; }
  QDialog* safeSheet() const { return safeSheet_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void presentHoldSheet();
  void presentSafeSheet();
  void present(QDialog* sheet, QPointer<QDialog>& slot, std::function<void()> clearRequest);

  AppModel& model_;
  Screens screens_;
  Sidebar* sidebar_;
  PaneStack* panes_;
  NoticeBar* notice_;
  MainToolbar* toolbar_;
  QPointer<QDialog> holdSheet_;
  QPointer<QDialog> safeSheet_;
};

}  // namespace larkvale
