#pragma once
// The "Update All That Are Safe" sheet (objectName "safeSheet"): a dialog
// 600 px wide with the header, a scrolling body and a footer row, in one of
// two modes chosen by AppModel::safeRun: without a run it confirms the plan
// (SafeUpdatesConfirm), with one it walks the run (SafeUpdatesRunList).
//
// It keeps nothing of its own: the plan, the ticks and the run are read from
// the model whenever they change, and every control calls one model
// operation. Closing it in any way (Cancel, Stop, Done, Check Now, Escape,
// the window's close button) sets AppModel::safeSheet to false, and the
// sheet closes itself when the model clears that value; the run is left as
// it is. The window frame shows it window-modal. Main thread.
#include <QDialog>

#include "app/model/AppModel.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace larkvale {

class SafeUpdatesConfirm;

class SafeUpdatesSheet : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 600;
  static constexpr int kBodyMinHeight = 220;
  static constexpr int kBodyMaxHeight = 460;
  static constexpr int kForwardMaxWidth = 300;  // the forward button stays on one line

  explicit SafeUpdatesSheet(AppModel& model, QWidget* parent = nullptr);

 public slots:
  void reject() override;

 private:
  QWidget* confirmFooter();
  QWidget* runningFooter();
  QWidget* finishedFooter();
  QPushButton* button(const QString& text, const char* name);

  void rebuildBody();  // after a change of the plan or of the run
  void refreshChosen();
  void refreshFooter();
  void fitBody();
  void checkNow();

  AppModel& model_;
  QScrollArea* body_;
  QStackedWidget* footers_;
  SafeUpdatesConfirm* confirm_ = nullptr;
  QLabel* count_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* forward_ = nullptr;
  QLabel* finished_ = nullptr;
  QPushButton* done_ = nullptr;
};

}  // namespace larkvale
