#pragma once
// The one-line status bar at the foot of the main window's detail column. It
// shows AppModel::notice while one is set and hides itself otherwise, so the
// screen above takes the whole column; its close button clears the notice.
// An error notice has the "isError" property set (for style sheets) and the
// orange warning symbol ("noticeErrorIcon"); any other the green check mark
// ("noticeIcon").
//
// Main thread only. The text is shown as plain text, verbatim, on at most
// three lines; a longer text ends in "…" and shows whole in the tooltip.
#include <QFrame>

#include "app/model/AppModel.h"

class QLabel;
class QToolButton;

namespace larkvale {

class NoticeBar : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kMaxLines = 3;

  explicit NoticeBar(AppModel& model, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showNotice();
  void tintButton();

  AppModel& model_;
  QWidget* doneIcon_;
  QWidget* errorIcon_;
  QLabel* text_;
  QToolButton* dismiss_;
};

}  // namespace larkvale
