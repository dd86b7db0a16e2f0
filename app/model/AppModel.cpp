#include "app/model/AppModel.h"

#include <QThread>
#include <QTimer>

#include "app/model/WorkRunner.h"
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

}  // namespace

AppModel::AppModel(AppServices services, QObject* parent)
    : QObject(parent),
      services_(std::move(services)),
      runner_(std::make_unique<WorkRunner>(this)) {}

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
  forgetDerived();
  emit stateChanged();
}

void AppModel::mutateState(const std::function<void(AppState&)>& change) {
  change(state_);
  forgetDerived();
  emit stateChanged();
}

void AppModel::setPane(Pane pane) {
  assign(pane_, pane, &AppModel::paneChanged);
}

template <typename T>
void AppModel::assignText(T& held, const T& value, void (AppModel::*changed)()) {
  const bool same = sameText(held, value);
  held = value;
  if (!same) emit(this->*changed)();
}

void AppModel::setSelection(const OptionalText& selection) {
  assignText(selection_, selection, &AppModel::selectionChanged);
}

void AppModel::setInventorySelection(const OptionalText& selection) {
  assignText(inventorySelection_, selection, &AppModel::inventorySelectionChanged);
}

void AppModel::setSearch(const QString& search) {
  if (search != search_) derived_.rows.clear();
  assignText(search_, search, &AppModel::searchChanged);
}

void AppModel::setNotice(const OptionalNotice& notice) {
  assign(notice_, notice, &AppModel::noticeChanged);
}

void AppModel::setHoldRequest(const OptionalUpdate& update) {
  assign(holdRequest_, update, &AppModel::holdRequestChanged);
}

void AppModel::setSafeSheet(bool shown) {
  assign(safeSheet_, shown, &AppModel::safeSheetChanged);
}

void AppModel::setSafeChosen(const TextSet& chosen) {
  assign(safeChosen_, chosen, &AppModel::safeChosenChanged);
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
  assign(carryChosen_, chosen, &AppModel::carryChosenChanged);
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

// The derived lists read state that only the main thread may touch.
static void assertMainThread(const QObject* model) {
  Q_ASSERT_X(QThread::currentThread() == model->thread(), "AppModel",
             "derived lists are read on the main thread");
  (void)model;
}

static const std::vector<AppUpdate>& reportUpdates(const AppState& state) {
  static const std::vector<AppUpdate> none;
  return state.lastReport ? state.lastReport->updates : none;
}

void AppModel::forgetDerived() {
  derived_ = Derived{};
}

const std::vector<AppUpdate>& AppModel::pendingUpdates() const {
  assertMainThread(this);
  if (!derived_.pending) derived_.pending = state_.actionableUpdates(reportUpdates(state_));
  return *derived_.pending;
}

const std::vector<AppUpdate>& AppModel::homebrewPending() const {
  if (!derived_.homebrewPending) {
    std::vector<AppUpdate> out;
    for (const AppUpdate& update : pendingUpdates()) {
      if (update.source.kind() == UpdateSource::Kind::homebrew) out.push_back(update);
    }
    derived_.homebrewPending = std::move(out);
  }
  return *derived_.homebrewPending;
}

static int rank(AppState::Effective effective, bool critical) {
  switch (effective) {
    case AppState::Effective::update:
      return critical ? 0 : 1;
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
  int ra = rank(state_.effective(a), a.critical);
  int rb = rank(state_.effective(b), b.critical);
  if (ra != rb) return ra < rb;
  return Collation::compare(a.app.name, b.app.name) < 0;
}

const std::vector<AppUpdate>& AppModel::rows(Pane pane) const {
  assertMainThread(this);
  if (pane != Pane::updates && pane != Pane::held) pane = Pane::allApps;  // the same rows
  auto known = derived_.rows.find(pane);
  if (known != derived_.rows.end()) return known->second;
  // Sorted as (rank, name key, row): each rank and key is worked out once,
  // not at every comparison, and the records move only once, into the answer.
  struct Row {
    int rank;
    const std::string* key;
    const AppUpdate* update;
  };
  std::vector<Row> kept;
  // Both sides composed, so that a decomposed "é" finds a composed one.
  const QString needle = search_.normalized(QString::NormalizationForm_C);
  auto found = [&needle](const std::string& text) {
    return QString::fromStdString(text)
        .normalized(QString::NormalizationForm_C)
        .contains(needle, Qt::CaseInsensitive);
  };
  const std::vector<AppUpdate>& updates = reportUpdates(state_);
  if (derived_.nameKeys.size() != updates.size()) {
    derived_.nameKeys.clear();
    derived_.nameKeys.reserve(updates.size());
    for (const AppUpdate& update : updates) {
      derived_.nameKeys.push_back(Collation::sortKey(update.app.name));
    }
  }
  for (size_t i = 0; i < updates.size(); ++i) {
    const AppUpdate& update = updates[i];
    if (!needle.isEmpty() && !found(update.app.name) && !found(update.app.bundleID)) continue;
    AppState::Effective effective = state_.effective(update);
    if (pane == Pane::updates && effective != AppState::Effective::update) continue;
    if (pane == Pane::held && effective != AppState::Effective::skipped &&
        effective != AppState::Effective::held) {
      continue;
    }
    kept.push_back({rank(effective, update.critical), &derived_.nameKeys[i], &update});
  }
  // A stable sort keeps report order among rows the order leaves unordered.
  std::stable_sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    return *a.key < *b.key;
  });
  std::vector<AppUpdate> out;
  out.reserve(kept.size());
  for (const Row& row : kept) out.push_back(*row.update);
  return derived_.rows[pane] = std::move(out);
}

int AppModel::badgeCount(Pane pane) const {
  if (pane == Pane::updates) return static_cast<int>(pendingUpdates().size());
  if (pane != Pane::held) return 0;
  if (!derived_.heldCount) {
    int count = 0;
    for (const AppUpdate& update : reportUpdates(state_)) {
      AppState::Effective effective = state_.effective(update);
      if (effective == AppState::Effective::skipped || effective == AppState::Effective::held) {
        ++count;
      }
    }
    derived_.heldCount = count;
  }
  return *derived_.heldCount;
}

std::optional<AppUpdate> AppModel::selectedUpdate() const {
  assertMainThread(this);
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

const SafeUpdatePlan& AppModel::safePlan() const {
  if (!derived_.safePlan) derived_.safePlan.emplace(reportUpdates(state_), state_);
  return *derived_.safePlan;
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
  assign(accessibilityTrusted_, trusted, &AppModel::accessibilityTrustedChanged);
  bool on = services_.loginItem && services_.loginItem->isEnabled();
  assign(loginItemOn_, on, &AppModel::loginItemOnChanged);
}

void AppModel::shutdown() {
  runner_->shutdown();
  if (timer_) timer_->stop();
  if (firstTick_) firstTick_->stop();
}

// ---- setters of model-owned values ----

void AppModel::setChecking(bool on) {
  assign(checking_, on, &AppModel::checkingChanged);
}

void AppModel::setProgress(WorkProgress progress) {
  progress_ = progress;
  emit progressChanged();
}

void AppModel::setInventory(const Inventory& inventory) {
  assign(inventory_, inventory, &AppModel::inventoryChanged);
}

void AppModel::setInventoryLoading(bool on) {
  assign(inventoryLoading_, on, &AppModel::inventoryLoadingChanged);
}

void AppModel::setSafeRun(const OptionalSafeRun& run) {
  assign(safeRun_, run, &AppModel::safeRunChanged);
}

void AppModel::mutateSafeRun(const std::function<void(SafeUpdateRun&)>& change) {
  if (!safeRun_) return;
  change(*safeRun_);
  emit safeRunChanged();
}

void AppModel::setCarryBusy(bool on) {
  assign(carryBusy_, on, &AppModel::carryBusyChanged);
}

void AppModel::setCarryProgress(WorkProgress progress) {
  carryProgress_ = progress;
  emit carryProgressChanged();
}

void AppModel::setCarryResult(const OptionalCarryResult& result) {
  carryResult_ = result;
  emit carryResultChanged();
}

void AppModel::setCarryOnInternalDisk(bool on) {
  assign(carryOnInternalDisk_, on, &AppModel::carryOnInternalDiskChanged);
}

void AppModel::storeCarrySize(const std::string& tildePath, CarrySize size) {
  auto found = carrySizes_.find(tildePath);
  if (found != carrySizes_.end() && found->second == size) return;
  carrySizes_[tildePath] = size;
  emit carrySizesChanged();
}

void AppModel::setNewMacDiff(const OptionalNewMacDiff& diff) {
  assign(newMacDiff_, diff, &AppModel::newMacDiffChanged);
}

void AppModel::setNewMacLoading(bool on) {
  assign(newMacLoading_, on, &AppModel::newMacLoadingChanged);
}

void AppModel::setNotificationsDenied(bool denied) {
  assign(notificationsDenied_, denied, &AppModel::notificationsDeniedChanged);
}

void AppModel::setRunningChosenApps(const AppNames& names) {
  assign(runningChosenApps_, names, &AppModel::runningChosenAppsChanged);
}

void AppModel::note(const QString& text, bool isError) {
  setNotice(Notice{text.toStdString(), isError});
}

}  // namespace larkvale
