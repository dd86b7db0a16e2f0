#pragma once
// One New Mac Check comparison: where the Moving Day folder came from, four
// counts, and the cards that apply: everything here, apps to install (with
// the Homebrew command and a link per app), apps older here, settings not
// here yet (with their stored copies) and what is already here. Everything
// from the manifest is shown as plain text; the one rich line (the Mac's
// name in bold) escapes what it inserts. Main thread.
#include <QWidget>

#include "kit/movingday/NewMacDiff.h"

namespace larkvale {

class AppModel;

namespace movingday {

class DiffView : public QWidget {
  Q_OBJECT

 public:
  DiffView(AppModel& model, const NewMacDiff& diff, QWidget* parent = nullptr);

  // The source line as rich text: "From <b>Mac</b>, copied …", every value
  // escaped.
  static QString sourceLine(const NewMacDiff& diff);
  // "Alpha, Beta, Alpha settings": present apps, then one entry per present
  // setting.
  static QString alreadyHere(const NewMacDiff& diff);

 private:
  QWidget* appsCard(const NewMacDiff& diff);
  QWidget* olderCard(const NewMacDiff& diff);
  QWidget* settingsCard(const NewMacDiff& diff);

  AppModel& model_;
};

}  // namespace movingday
}  // namespace larkvale
