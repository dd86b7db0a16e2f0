#pragma once
// The Settings pane (objectName "settings"): the daily check, the login
// item, the App Store country, the weekly summary, what the hand-off can do
// on this desktop, what the app sends over the network and its honest
// limits, ending with the catalogue's credit footer. At most 820 px wide,
// at the leading edge.
//
// Every control shows what the model holds (for the login item and the
// notifications, what the system really did) and calls one model operation;
// a change the model or the system refused springs back at once. Objects:
// "settingsDailyCheck", "settingsLoginItem", "settingsCountry",
// "settingsWeekly", "settingsClearFeeds". Main thread.
#include "app/model/AppModel.h"
#include "app/screens/updates/ViewBlocks.h"

class QCheckBox;
class QComboBox;

namespace pennant {
class MoreAppsCatalogue;
}

namespace larkvale {

namespace ui {
class SymbolView;
class TintLabel;
}  // namespace ui

class SettingsPane : public viewblocks::CappedColumn {
  Q_OBJECT

 public:
  static constexpr int kMaxWidth = 820;
  static constexpr int kCountryMaxWidth = 320;

  SettingsPane(AppModel& model, pennant::MoreAppsCatalogue& catalogue, QWidget* parent = nullptr);

 private:
  QWidget* checkingCard();
  QWidget* weeklyCard();
  QWidget* handOffCard();
  QWidget* sendsCard();
  QWidget* limitsCard();
  QCheckBox* toggle(const QString& text, const char* name, QWidget* parent);
  void refresh();

  AppModel& model_;
  QCheckBox* daily_ = nullptr;
  QCheckBox* login_ = nullptr;
  QComboBox* country_ = nullptr;
  ui::TintLabel* lastCheck_ = nullptr;
  QCheckBox* weekly_ = nullptr;
  QWidget* notificationsOff_ = nullptr;
  ui::SymbolView* trustSymbol_ = nullptr;
  ui::SymbolView* untrustSymbol_ = nullptr;
  ui::TintLabel* trust_ = nullptr;
};

}  // namespace larkvale
