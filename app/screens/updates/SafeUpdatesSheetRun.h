#pragma once
// The run of the "Update All That Are Safe" sheet: a card with one row per
// step and its mark ("Step k of n", or "Finished"), and below it, while the
// run goes on, the hint to come back and press Next. A copy of the run taken
// when built; the sheet builds it again on every change of the run.
// Main thread.
#include <QString>
#include <QWidget>

#include "app/ui/Tints.h"
#include "kit/sources/SafeUpdateRun.h"

namespace larkvale {

class SafeUpdatesRunList : public QWidget {
  Q_OBJECT

 public:
  // How a step's mark shows: the symbol, its colour and the text.
  struct MarkLook {
    QString symbol;
    ui::Tint tint;
    QString text;
    friend bool operator==(const MarkLook&, const MarkLook&) = default;
  };
  static MarkLook markLook(SafeUpdateRun::Mark mark, bool current);

  // "Finished", or "Step <k> of <n>".
  static QString title(const SafeUpdateRun& run);
  // The forward button: "Next: " and the title of the step after the current
  // one, or "Finish" when the current step is the last.
  static QString forwardText(const SafeUpdateRun& run);
  // The finished footer's sentence.
  static QString finishedText(const SafeUpdateRun& run);

  explicit SafeUpdatesRunList(const SafeUpdateRun& run, QWidget* parent = nullptr);

 private:
  QWidget* stepRow(const SafeUpdateRun& run, size_t position, QWidget* parent);
};

}  // namespace larkvale
