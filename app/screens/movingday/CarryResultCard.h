#pragma once
// The outcome of the last successful Copy Settings run: how many settings
// were copied and how many apps the manifest lists, where the new Moving Day
// folder is (with a button that shows it in the file manager), the warning
// when the folder lies on this computer's internal disk, and the items left
// out with their reasons (the first 40 listed, all counted). Main thread.
#include <QWidget>

#include "kit/movingday/SettingsCopier.h"

namespace larkvale {

class AppModel;

namespace movingday {

class CarryResultCard : public QWidget {
  Q_OBJECT

 public:
  static constexpr int listedLeftOut = 40;

  CarryResultCard(AppModel& model, const SettingsCopier::Result& result, QWidget* parent = nullptr);

  // "Copied 3 settings and a list of 12 apps".
  static QString title(const MovingManifest& manifest);
  // "1 item left out", "57 items left out".
  static QString leftOutLabel(size_t count);
};

}  // namespace movingday
}  // namespace larkvale
