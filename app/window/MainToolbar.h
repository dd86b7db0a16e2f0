#pragma once
// The main window's toolbar: the progress of a running check, "Check Now" and
// the search field, at the trailing end.
//
// Main thread only. Everything shown follows AppModel (checking, progress,
// search); "Check Now" starts AppModel::check with the manual answer age and
// never waits for it; the search field and AppModel::search mirror each other.
#include <QToolBar>

#include "app/model/AppModel.h"

class QLineEdit;
class QProgressBar;
class QToolButton;

namespace larkvale {

class MainToolbar : public QToolBar {
  Q_OBJECT

 public:
  static constexpr int kProgressWidth = 120;
  static constexpr int kSearchWidth = 220;

  explicit MainToolbar(AppModel& model, QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void tintButton();
  void showChecking();
  void showProgress();
  void showSearch();

  AppModel& model_;
  QProgressBar* progress_;
  QAction* progressItem_;  // the toolbar shows and hides the bar through it
  QToolButton* checkNow_;
  QLineEdit* search_;
};

}  // namespace larkvale
