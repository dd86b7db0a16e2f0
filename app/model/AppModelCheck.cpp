// The schedule and the check run.
#include <QTimer>

#include "app/model/AppModel.h"
#include "app/model/WorkRunner.h"
#include "platform/TextTrim.h"

namespace larkvale {

using Lane = WorkRunner::Lane;

void AppModel::start() {
  if (timer_) return;
  timer_ = new QTimer(this);
  timer_->setInterval(kTimerInterval);
  connect(timer_, &QTimer::timeout, this, [this] { timerTick(); });
  timer_->start();

  firstTick_ = new QTimer(this);
  firstTick_->setSingleShot(true);
  firstTick_->setInterval(kFirstTick);
  connect(firstTick_, &QTimer::timeout, this, [this] { timerTick(); });
  firstTick_->start();
}

QFuture<void> AppModel::timerTick() {
  return dailyCheckIfDue().then(this, [this] { return weeklySummaryIfDue(); }).unwrap();
}

QFuture<void> AppModel::dailyCheckIfDue() {
  if (!state_->isDailyCheckDue(services_.clock->now()) || checking_) {
    return QtFuture::makeReadyFuture();
  }
  return check(kScheduledMaxAge);
}

QFuture<void> AppModel::weeklySummaryIfDue() {
  const Date now = services_.clock->now();
  if (!state_->isWeeklyNoticeDue(now) || checking_) return QtFuture::makeReadyFuture();
  QFuture<void> before = QtFuture::makeReadyFuture();
  // Strictly older than a day: a report exactly a day old is fresh enough.
  if (state_->lastReport && state_->lastReport->date < now - AppState::kDailyInterval) {
    before = check(kScheduledMaxAge);
  }
  return before.then(this, [this] { postWeeklySummary(); });
}

void AppModel::postWeeklySummary() {
  if (runner_->isStopped()) return;
  const Date now = services_.clock->now();
  mutateState([now](AppState& state) { state.weeklyNoticeLast = now; });
  save();
  if (auto summary = state_->weeklyNoticeText()) {
    // The names in it were read from a saved file that an older build may
    // have written with what no line should hold.
    services_.notifications->post(kWeeklyNotificationID, summary->title,
                                  TextTrim::oneLine(summary->body));
  }
}

std::optional<std::string> AppModel::systemVersion() const {
  return services_.host ? services_.host->systemVersion() : std::nullopt;
}

QFuture<void> AppModel::check(std::chrono::seconds maxAge) {
  if (checking_ || runner_->isStopped()) return QtFuture::makeReadyFuture();
  setChecking(true);
  setProgress({0, 0});
  const uint64_t run = ++checkRun_;
  const CheckOptions options{maxAge, state_->settings.country, systemVersion(), kParallelChecks};

  auto work = [this, run, options, scanner = services_.scanner, checker = services_.checker,
               runner = runner_.get()](std::stop_token stop) {
    // Only the posted calls below touch the model, and only on its thread.
    auto apps = scanner->scan(stop);
    runner->post([this, run, n = static_cast<int>(apps.size())] { onCheckProgress(run, {0, n}); });
    auto progress = [this, run, runner](WorkProgress next) {
      runner->post([this, run, next] { onCheckProgress(run, next); });
    };
    auto report = checker->check(apps, options, progress, stop);
    // Old saved answers go while the check still counts as running; done
    // here, the check costs the main thread one hand-over, not two.
    checker->pruneSaved(kPruneAge);
    return report;
  };
  return runner_->run(Lane::user, std::move(work)).then(this, [this](Outcome<CheckReport> outcome) {
    if (runner_->isStopped()) return;
    if (outcome.ok()) {
      recordReport(*outcome.value);
    } else {
      note(QString::fromStdString(outcome.errorText()), true);
    }
    setChecking(false);
  });
}

void AppModel::onCheckProgress(uint64_t run, WorkProgress next) {
  if (run != checkRun_ || !checking_) return;
  // Workers report as they finish, and their reports may overtake each
  // other on the way here: the count never goes back.
  if (next.total == progress_.total && next.done < progress_.done) return;
  setProgress(next);
}

void AppModel::recordReport(const CheckReport& report) {
  mutateState([&report](AppState& state) { state.record(report); });
  ++reportGeneration_;
  setInventory({});
  const int waiting = badgeCount(Pane::updates);
  if (waiting == 1) {
    note(tr("%1 update waiting.").arg(waiting));
  } else if (waiting > 1) {
    note(tr("%1 updates waiting.").arg(waiting));
  } else if (report.updates.empty()) {
    // "All 0 apps checked" would read as if everything were fine.
    note(tr("No app bundles found in /Applications or ~/Applications."));
  } else {
    note(tr("All %1 apps checked: nothing waiting.").arg(report.updates.size()));
  }
  // After the outcome, so that a failed save's notice is the one that stays.
  save();
}

}  // namespace larkvale
