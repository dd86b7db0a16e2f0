#pragma once
// The lower half of the update panes: the selected app with its versions and
// status, its action buttons, its hold note, remark and check failure, its
// release notes and where its updates come from; a hint when nothing is
// selected. It follows the model's selection and the last report, and
// rebuilds itself from them on every change. Main thread.
#include <QWidget>

#include "app/model/AppModel.h"

class QScrollArea;
class QStackedWidget;

namespace larkvale {

class UpdatesEmptyView;

namespace UpdateDetailText {

// "1.0 installed", "1.0 installed · 2.0 available" (an available update) or
// "1.0 installed · latest 2.0".
QString versionLine(const AppUpdate& update);

// A plain-language sentence on where the update comes from.
QString sourceDescription(const AppUpdate& update);

}  // namespace UpdateDetailText

class UpdateDetail : public QWidget {
  Q_OBJECT

 public:
  UpdateDetail(AppModel& model, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refreshSoon();
  void refresh();
  QWidget* build(const AppUpdate& update);

  AppModel& model_;
  QStackedWidget* pages_;
  UpdatesEmptyView* hint_;
  QScrollArea* scroll_;
  std::string shownPath_;  // the app the page was last built for, to keep its scroll
  bool stale_ = false;
};

}  // namespace larkvale
