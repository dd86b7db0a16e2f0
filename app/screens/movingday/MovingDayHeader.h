#pragma once
// The title block of the Inventory and Restore Checklist panes: a title and
// subtitle, and the two buttons that export the Moving day document as
// Markdown or PDF (through the model's save panel). Both buttons are
// disabled while the inventory is empty. Main thread.
#include <QWidget>

class QPushButton;

namespace larkvale {

class AppModel;

namespace movingday {

class TitleRow;

class MovingDayHeader : public QWidget {
  Q_OBJECT

 public:
  MovingDayHeader(AppModel& model, const QString& title, const QString& subtitle,
                  QWidget* parent = nullptr);

  QString title() const;
  QString subtitle() const;

 private:
  void refresh();

  AppModel& model_;
  TitleRow* row_;
  QPushButton* markdown_;
  QPushButton* pdf_;
};

}  // namespace movingday
}  // namespace larkvale
