#pragma once
// The confirmation of the "Update All That Are Safe" sheet: the plan's
// candidates with a tick box each (Sparkle apps, then Homebrew casks with the
// one command their Terminal window will show), the updates left out with
// their reasons, or the empty state when nothing can be handed off.
//
// Built for one plan; the sheet builds it again when the plan changes. The
// ticks follow AppModel::safeChosen in place (refreshChosen), so a tick box
// is never rebuilt under the click that changed it. Main thread.
#include <QWidget>

#include <map>
#include <string>

#include "app/model/AppModel.h"

class QCheckBox;

namespace larkvale {

namespace viewblocks {
class TextLabel;
}

class SafeUpdatesConfirm : public QWidget {
  Q_OBJECT

 public:
  SafeUpdatesConfirm(AppModel& model, const SafeUpdatePlan& plan, QWidget* parent = nullptr);

  const SafeUpdatePlan& plan() const { return plan_; }

  // Sets each tick box and the Homebrew command from AppModel::safeChosen.
  void refreshChosen();

  // The footer's count: "Nothing ticked", "1 hand-off, one at a time" or
  // "<n> hand-offs, one at a time".
  static QString handOffCountText(size_t handOffs);

  // The candidates of the Homebrew card (source homebrew) and of the Sparkle
  // card (every other candidate), in plan order.
  static std::vector<AppUpdate> brewCandidates(const SafeUpdatePlan& plan);
  static std::vector<AppUpdate> sparkleCandidates(const SafeUpdatePlan& plan);

 private:
  QWidget* sparkleCard(const std::vector<AppUpdate>& updates);
  QWidget* brewCard(const std::vector<AppUpdate>& updates);
  QWidget* leftOutCard();
  QWidget* pickRow(const AppUpdate& update, QWidget* parent);

  AppModel& model_;
  SafeUpdatePlan plan_;
  std::map<std::string, QCheckBox*> ticks_;  // by update id
  QWidget* commandBox_ = nullptr;            // the caption and the command
  viewblocks::TextLabel* command_ = nullptr;
};

}  // namespace larkvale
