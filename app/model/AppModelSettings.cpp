// The actions behind the Settings view.
#include "app/model/AppModel.h"
#include "app/model/WorkRunner.h"

namespace larkvale {

void AppModel::setDailyCheck(bool on) {
  if (state_->settings.dailyCheck == on) return;
  mutateState([on](AppState& state) { state.settings.dailyCheck = on; });
  save();
}

void AppModel::setCountry(const std::string& country) {
  if (state_->settings.country == country) return;
  mutateState([&country](AppState& state) { state.settings.country = country; });
  save();
}

void AppModel::setShowUpToDate(bool on) {
  if (state_->settings.showUpToDate == on) return;
  mutateState([on](AppState& state) { state.settings.showUpToDate = on; });
  save();
}

void AppModel::setLoginItem(bool on) {
  try {
    services_.loginItem->setEnabled(on);
  } catch (const std::exception& e) {
    note(tr("The desktop didn't change the login item: %1.").arg(QString::fromStdString(e.what())),
         true, LoginItemUnchanged{on});
  }
  // The switch shows what the system did, not what was asked.
  refreshPermissions();
}

QFuture<void> AppModel::setWeeklyNotice(bool on) {
  if (!on) {
    mutateState([this](AppState& state) { state.setWeeklyNotice(false, services_.clock->now()); });
    save();
    return QtFuture::makeReadyFuture();
  }
  // A request that fails or is dropped counts as refused.
  return services_.notifications->requestPermission()
      .onCanceled(this, [] { return false; })
      .then(this, [this](QFuture<bool> answer) {
        if (runner_->isStopped()) return;
        bool granted = false;
        try {
          granted = answer.resultCount() > 0 && answer.result();
        } catch (...) {
          granted = false;
        }
        setNotificationsDenied(!granted);
        const Date now = services_.clock->now();
        mutateState([granted, now](AppState& state) { state.setWeeklyNotice(granted, now); });
        if (granted) {
          note(
              tr("The first weekly summary comes a week from now (weeks with nothing waiting "
                 "stay quiet)."));
        } else {
          note(tr("Notifications are off for Larkvale: no notification service answered on "
                  "this desktop."),
               true);
        }
        save();
      });
}

void AppModel::clearSavedFeeds() {
  try {
    services_.checker->clearSaved();
  } catch (const std::exception& e) {
    note(tr("Couldn't clear the saved feeds: %1").arg(QString::fromStdString(e.what())), true);
    return;
  }
  note(tr("Cleared the saved feeds. The next check asks every source again."));
}

}  // namespace larkvale
