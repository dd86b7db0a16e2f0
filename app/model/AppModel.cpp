#include "app/model/AppModel.h"

#include <QTimer>
#include <QtConcurrent>

#include "kit/sources/SafeUpdatePlan.h"
#include "platform/Collation.h"

namespace larkvale {
namespace {

AppModel* gShared = nullptr;

// Text equality up to canonical equivalence.
bool sameText(const QString& a, const QString& b) {
  return a == b ||
         a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

bool sameText(const OptionalText& a, const OptionalText& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || sameText(*a, *b);
}

template <typename T>
QFuture<T> finished(T value) {
  return QtFuture::makeReadyFuture(std::move(value));
}

QFuture<void> finished() {
  return QtFuture::makeReadyFuture();
}

}  // namespace

AppModel::AppModel(AppServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {}

AppModel::~AppModel() {
  shutdown();
}

AppModel* AppModel::shared() {
  return gShared;
}
void AppModel::setShared(AppModel* model) {
  gShared = model;
}

// ---- setters ----

void AppModel::setState(const AppState& state) {
  if (state_ == state) return;
  state_ = state;
  emit stateChanged();
}

void AppModel::mutateState(const std::function<void(AppState&)>& change) {
  change(state_);
  emit stateChanged();
}

void AppModel::setPane(Pane pane) {
  if (pane_ == pane) return;
  pane_ = pane;
  emit paneChanged();
}

void AppModel::setSelection(const OptionalText& selection) {
  if (sameText(selection_, selection)) return;
  selection_ = selection;
  emit selectionChanged();
}

void AppModel::setInventorySelection(const OptionalText& selection) {
  if (sameText(inventorySelection_, selection)) return;
  inventorySelection_ = selection;
  emit inventorySelectionChanged();
}

void AppModel::setSearch(const QString& search) {
  if (sameText(search_, search)) return;
  search_ = search;
  emit searchChanged();
}

void AppModel::setNotice(const OptionalNotice& notice) {
  if (notice_ == notice) return;
  notice_ = notice;
  emit noticeChanged();
}

void AppModel::setHoldRequest(const OptionalUpdate& update) {
  if (holdRequest_ == update) return;
  holdRequest_ = update;
  emit holdRequestChanged();
}

void AppModel::setSafeSheet(bool shown) {
  if (safeSheet_ == shown) return;
  safeSheet_ = shown;
  emit safeSheetChanged();
}

void AppModel::setSafeChosen(const TextSet& chosen) {
  if (safeChosen_ == chosen) return;
  safeChosen_ = chosen;
  emit safeChosenChanged();
}

void AppModel::setSafeChosen(const std::string& id, bool chosen) {
  TextSet next = safeChosen_;
  if (chosen) {
    next.insert(id);
  } else {
    next.erase(id);
  }
  setSafeChosen(next);
}

void AppModel::setCarryChosen(const TextSet& chosen) {
  if (carryChosen_ == chosen) return;
  carryChosen_ = chosen;
  emit carryChosenChanged();
}

void AppModel::setCarryChosen(const std::string& tildePath, bool chosen) {
  TextSet next = carryChosen_;
  if (chosen) {
    next.insert(tildePath);
  } else {
    next.erase(tildePath);
  }
  setCarryChosen(next);
}

// ---- derived ----

static const std::vector<AppUpdate>& reportUpdates(const AppState& state) {
  static const std::vector<AppUpdate> none;
  return state.lastReport ? state.lastReport->updates : none;
}

std::vector<AppUpdate> AppModel::pendingUpdates() const {
  return state_.actionableUpdates(reportUpdates(state_));
}

static int rank(const AppState& state, const AppUpdate& update) {
  switch (state.effective(update)) {
    case AppState::Effective::update:
      return update.critical ? 0 : 1;
    case AppState::Effective::notChecked:
      return 2;
    case AppState::Effective::skipped:
    case AppState::Effective::held:
      return 3;
    case AppState::Effective::current:
      return 4;
    case AppState::Effective::noSource:
      return 5;
  }
  return 5;
}

bool AppModel::rowOrder(const AppUpdate& a, const AppUpdate& b) const {
  int ra = rank(state_, a);
  int rb = rank(state_, b);
  if (ra != rb) return ra < rb;
  return Collation::compare(a.app.name, b.app.name) < 0;
}

std::vector<AppUpdate> AppModel::rows(Pane pane) const {
  std::vector<AppUpdate> out;
  for (const AppUpdate& update : reportUpdates(state_)) {
    if (!search_.isEmpty() &&
        !QString::fromStdString(update.app.name).contains(search_, Qt::CaseInsensitive) &&
        !QString::fromStdString(update.app.bundleID).contains(search_, Qt::CaseInsensitive)) {
      continue;
    }
    AppState::Effective effective = state_.effective(update);
    if (pane == Pane::updates && effective != AppState::Effective::update) continue;
    if (pane == Pane::held && effective != AppState::Effective::skipped &&
        effective != AppState::Effective::held) {
      continue;
    }
    out.push_back(update);
  }
  // A stable sort keeps report order among rows the order leaves unordered.
  std::stable_sort(out.begin(), out.end(),
                   [this](const AppUpdate& a, const AppUpdate& b) { return rowOrder(a, b); });
  return out;
}

int AppModel::badgeCount(Pane pane) const {
  if (pane == Pane::updates) return static_cast<int>(pendingUpdates().size());
  if (pane != Pane::held) return 0;
  int count = 0;
  for (const AppUpdate& update : reportUpdates(state_)) {
    AppState::Effective effective = state_.effective(update);
    if (effective == AppState::Effective::skipped || effective == AppState::Effective::held) {
      ++count;
    }
  }
  return count;
}

std::optional<AppUpdate> AppModel::selectedUpdate() const {
  if (!selection_) return std::nullopt;
  std::string path = selection_->toStdString();
  for (const AppUpdate& update : reportUpdates(state_)) {
    if (update.app.path == path) return update;
  }
  return std::nullopt;
}

std::optional<InventoryEntry> AppModel::selectedInventoryEntry() const {
  if (!inventorySelection_) return std::nullopt;
  std::string path = inventorySelection_->toStdString();
  for (const InventoryEntry& entry : inventory_) {
    if (entry.app.path == path) return entry;
  }
  return std::nullopt;
}

SafeUpdatePlan AppModel::safePlan() const {
  return SafeUpdatePlan(reportUpdates(state_), state_);
}

std::string AppModel::macName() const {
  std::optional<std::string> name = services_.host ? services_.host->macName() : std::nullopt;
  return name && !name->empty() ? *name : "this Mac";
}

// ---- lifecycle ----

void AppModel::loadState() {
  if (services_.store) setState(services_.store->load(services_.clock->now()));
  if (services_.badge) services_.badge->setCount(static_cast<int>(pendingUpdates().size()));
}

void AppModel::save() {
  try {
    if (services_.store) services_.store->save(state_);
  } catch (const std::exception& e) {
    setNotice(Notice{std::string("Couldn't save settings: ") + e.what(), true});
  }
  if (services_.badge) services_.badge->setCount(static_cast<int>(pendingUpdates().size()));
}

void AppModel::refreshPermissions() {
  bool trusted = services_.menuPress && services_.menuPress->isTrusted();
  if (trusted != accessibilityTrusted_) {
    accessibilityTrusted_ = trusted;
    emit accessibilityTrustedChanged();
  }
  bool on = services_.loginItem && services_.loginItem->isEnabled();
  if (on != loginItemOn_) {
    loginItemOn_ = on;
    emit loginItemOnChanged();
  }
}

// The operations below are filled in with the schedule, the check run and the
// actions; until then they do nothing.
void AppModel::start() {}
void AppModel::shutdown() {}
QFuture<void> AppModel::timerTick() {
  return finished();
}
QFuture<void> AppModel::dailyCheckIfDue() {
  return finished();
}
QFuture<void> AppModel::weeklySummaryIfDue() {
  return finished();
}
QFuture<void> AppModel::check(std::chrono::seconds) {
  return finished();
}
void AppModel::skipVersion(const AppUpdate&) {}
void AppModel::unskip(const AppUpdate&) {}
void AppModel::holdApp(const AppUpdate&, const QString&) {}
void AppModel::releaseHold(const AppUpdate&) {}
QFuture<bool> AppModel::openOwnUpdater(const AppUpdate&) {
  return finished(false);
}
bool AppModel::upgradeInTerminal(const std::vector<AppUpdate>&) {
  return false;
}
void AppModel::copyBrewCommand(const std::vector<AppUpdate>&) {}
void AppModel::startSafeUpdates() {}
QFuture<void> AppModel::startSafeRun() {
  return finished();
}
QFuture<void> AppModel::handOffCurrentStep() {
  return finished();
}
QFuture<void> AppModel::skipSafeStep() {
  return finished();
}
QFuture<void> AppModel::advanceSafeRun() {
  return finished();
}
void AppModel::openLink(const std::string&) {}
void AppModel::reveal(const std::filesystem::path&) {}
void AppModel::setDailyCheck(bool) {}
void AppModel::setCountry(const std::string&) {}
void AppModel::setShowUpToDate(bool) {}
void AppModel::setLoginItem(bool) {}
QFuture<void> AppModel::setWeeklyNotice(bool) {
  return finished();
}
void AppModel::clearSavedFeeds() {}
QFuture<void> AppModel::loadInventory() {
  return finished();
}
void AppModel::toggleTick(const std::string&) {}
void AppModel::clearTicks() {}
QFuture<void> AppModel::measureCarrySizes() {
  return finished();
}
std::vector<std::string> AppModel::runningChosenApps() const {
  return {};
}
std::vector<DocBlock> AppModel::movingDayDocument() const {
  return {};
}
QFuture<void> AppModel::copySettings() {
  return finished();
}
QFuture<void> AppModel::newMacCheck() {
  return finished();
}
void AppModel::exportMovingDay(bool) {}
void AppModel::copyCommand(const std::string&) {}

}  // namespace larkvale
