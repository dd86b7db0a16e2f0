#pragma once
// The Restore Checklist pane: the Moving day header, a progress bar over the
// ticked steps with "Clear Ticks", and one card per section of the checklist
// (worked out from the model's inventory on every change), each step with
// its tick box, detail, command and link. Ticks are the model's saved set.
// While the export buttons are off, the export step says why. Each time it
// is shown it asks the model to load the inventory. Main thread.
#include <QWidget>

#include <string>
#include <vector>

#include "app/ui/Tints.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace larkvale {

class AppModel;

namespace ui {
class Card;
class FittedListView;
}  // namespace ui

namespace movingday {

class BusyView;
class ChecklistSectionModel;
class MovingDayHeader;

class ChecklistPane : public QWidget {
  Q_OBJECT

 public:
  explicit ChecklistPane(AppModel& model, QWidget* parent = nullptr);

  // The symbol and tint of a section's card, by the title's position among
  // the checklist's sections.
  static QString sectionSymbol(const std::string& title);
  static ui::Tint sectionTint(const std::string& title);
  // Why both export buttons are off, for the export step: nothing while
  // the inventory holds an app.
  static QString exportOffNote(const AppModel& model);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Section {
    ui::Card* card;
    ui::FittedListView* list;
    ChecklistSectionModel* rows;
  };

  void refreshItems();
  void refreshTicks();
  void refreshLoading();
  void refreshExportNote();

  AppModel& model_;
  MovingDayHeader* header_;
  BusyView* busy_;
  QWidget* checklist_;
  QProgressBar* progress_;
  QLabel* count_;
  QPushButton* clear_;
  std::vector<Section> sections_;
  std::vector<std::string> itemIDs_;
};

}  // namespace movingday
}  // namespace larkvale
