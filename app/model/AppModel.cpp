#include "app/model/AppModel.h"

#include <QThread>
#include <QTimer>

#include "app/model/WorkRunner.h"
#include "kit/sources/SafeUpdatePlan.h"
#include "platform/Collation.h"
#include "platform/TextTrim.h"

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

// A text as the search compares it: composed, each character case-folded on
// its own (as a case-insensitive QString::contains compares them), so that
// a plain contains() of two such texts is the case-insensitive one.
QString searchKey(const QString& text) {
  QString out = text.normalized(QString::NormalizationForm_C);
  char16_t* units = reinterpret_cast<char16_t*>(out.data());
  const qsizetype size = out.size();
  for (qsizetype i = 0; i < size; ++i) {
    if (QChar::isHighSurrogate(units[i]) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
      const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(units[i], units[i + 1]));
      if (QChar::requiresSurrogates(folded)) {
        units[i] = QChar::highSurrogate(folded);
        units[i + 1] = QChar::lowSurrogate(folded);
      }
      ++i;
      continue;
    }
    units[i] = static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(units[i])));
  }
  return out;
}

}  // namespace

AppModel::AppModel(AppServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), runner_(std::make_unique<WorkRunner>(this)) {
  watchNoticeStates();
}

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
  if (*state_ == state) return;
  replaceState(AppState(state));
}

void AppModel::setState(AppState&& state) {
  if (*state_ == state) return;
  replaceState(std::move(state));
}

void AppModel::replaceState(AppState&& next) {
  forgetDerived();  // first: the rows the model keeps hold the state too
  if (state_.use_count() == 1) {
    *state_ = std::move(next);
  } else {
    state_ = std::make_shared<AppState>(std::move(next));
  }
  emit stateChanged();
}

void AppModel::mutateState(const std::function<void(AppState&)>& change) {
  // The model's own rows go first, as they hold the state too; the other
  // lists stay until the change is made, as the change may read them (an
  // update passed in from rows()).
  derived_.rows.clear();
  // Rows handed out read the report of the state they were made from.
  if (state_.use_count() > 1) state_ = std::make_shared<AppState>(*state_);
  change(*state_);
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
  // Rows for other texts go; those without a search stay.
  auto otherText = [&search](const auto& entry) {
    return !entry.first.second.isEmpty() && entry.first.second != search;
  };
  std::erase_if(derived_.rows, otherText);
  std::erase_if(derived_.records, otherText);
  assignText(search_, search, &AppModel::searchChanged);
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
  if (!derived_.pending) derived_.pending = state_->actionableUpdates(reportUpdates(*state_));
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
  int ra = rank(state_->effective(a), a.critical);
  int rb = rank(state_->effective(b), b.critical);
  if (ra != rb) return ra < rb;
  return Collation::compare(a.app.name, b.app.name) < 0;
}

const std::vector<AppState::Effective>& AppModel::reportEffective() const {
  assertMainThread(this);
  if (!derived_.effective) {
    std::vector<AppState::Effective> out;
    out.reserve(reportUpdates(*state_).size());
    for (const AppUpdate& update : reportUpdates(*state_)) out.push_back(state_->effective(update));
    derived_.effective = std::move(out);
  }
  return *derived_.effective;
}

const std::vector<AppUpdate>& AppModel::rows(Pane pane) const {
  std::shared_ptr<const PaneRows> rows = paneRows(pane);
  if (pane != Pane::updates && pane != Pane::held) pane = Pane::allApps;
  auto [known, made] = derived_.records.try_emplace({pane, search_});
  if (made) {
    known->second.reserve(rows->size());
    for (size_t row = 0; row < rows->size(); ++row) known->second.push_back(rows->at(row));
  }
  return known->second;
}

std::shared_ptr<const AppModel::PaneRows> AppModel::paneRows(Pane pane) const {
  assertMainThread(this);
  if (pane != Pane::updates && pane != Pane::held) pane = Pane::allApps;  // the same rows
  std::shared_ptr<const PaneRows>& known = derived_.rows[{pane, search_}];
  if (known) return known;
  const std::vector<AppUpdate>& updates = reportUpdates(*state_);
  const std::vector<AppState::Effective>& effective = reportEffective();
  if (!derived_.order) {
    // Sorted once per state by rank, then name: every pane and search keeps
    // this order, so narrowing the list never sorts again.
    std::vector<std::string_view> names;
    std::vector<int> ranks;
    names.reserve(updates.size());
    ranks.reserve(updates.size());
    for (size_t i = 0; i < updates.size(); ++i) {
      names.push_back(updates[i].app.name);
      ranks.push_back(rank(effective[i], updates[i].critical));
    }
    Collation::SortKeys byName(std::move(names));
    std::vector<uint32_t> order(updates.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    // A stable sort keeps report order among rows the order leaves unordered.
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
      if (ranks[a] != ranks[b]) return ranks[a] < ranks[b];
      return byName.less(a, b);
    });
    derived_.order = std::move(order);
  }
  // Both sides composed, so that a decomposed "é" finds a composed one.
  const QString needle = searchKey(search_);
  if (!needle.isEmpty() && derived_.searchKeys.size() != updates.size()) {
    derived_.searchKeys.clear();
    derived_.searchKeys.reserve(updates.size());
    for (const AppUpdate& update : updates) {
      derived_.searchKeys.emplace_back(searchKey(QString::fromStdString(update.app.name)),
                                       searchKey(QString::fromStdString(update.app.bundleID)));
    }
  }
  auto out = std::make_shared<PaneRows>();
  // Shares the state, so that the rows outlive a change of it.
  out->report = std::shared_ptr<const std::vector<AppUpdate>>(state_, &updates);
  for (uint32_t i : *derived_.order) {
    if (!needle.isEmpty() && !derived_.searchKeys[i].first.contains(needle) &&
        !derived_.searchKeys[i].second.contains(needle)) {
      continue;
    }
    if (pane == Pane::updates && effective[i] != AppState::Effective::update) continue;
    if (pane == Pane::held && effective[i] != AppState::Effective::skipped &&
        effective[i] != AppState::Effective::held) {
      continue;
    }
    out->index.push_back(i);
    out->effective.push_back(effective[i]);
  }
  known = std::move(out);
  return known;
}

const AppModel::ReportCounts& AppModel::reportCounts() const {
  if (!derived_.counts) {
    ReportCounts out;
    const std::vector<AppUpdate>& updates = reportUpdates(*state_);
    const std::vector<AppState::Effective>& effective = reportEffective();
    for (size_t i = 0; i < updates.size(); ++i) {
      switch (effective[i]) {
        case AppState::Effective::update:
          ++out.waiting;
          if (updates[i].source.kind() == UpdateSource::Kind::homebrew) ++out.homebrewWaiting;
          break;
        case AppState::Effective::skipped:
        case AppState::Effective::held:
          ++out.held;
          break;
        case AppState::Effective::current:
          ++out.current;
          break;
        case AppState::Effective::notChecked:
          ++out.notChecked;
          break;
        case AppState::Effective::noSource:
          ++out.noSource;
          break;
      }
    }
    derived_.counts = out;
  }
  return *derived_.counts;
}

int AppModel::badgeCount(Pane pane) const {
  if (pane == Pane::updates) return reportCounts().waiting;
  return pane == Pane::held ? reportCounts().held : 0;
}

int AppModel::homebrewPendingCount() const {
  return reportCounts().homebrewWaiting;
}

std::optional<AppUpdate> AppModel::selectedUpdate() const {
  assertMainThread(this);
  if (!selection_) return std::nullopt;
  std::string path = selection_->toStdString();
  for (const AppUpdate& update : reportUpdates(*state_)) {
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
  if (!derived_.safePlan) derived_.safePlan.emplace(reportUpdates(*state_), *state_);
  return *derived_.safePlan;
}

bool AppModel::hasSafeCandidates() const {
  if (derived_.safePlan) return !derived_.safePlan->candidates.empty();
  if (!derived_.safeCandidates) {
    derived_.safeCandidates = SafeUpdatePlan::hasCandidates(reportUpdates(*state_), *state_);
  }
  return *derived_.safeCandidates;
}

std::string AppModel::macName() const {
  std::optional<std::string> name = services_.host ? services_.host->macName() : std::nullopt;
  return name && !name->empty() ? *name : "this Mac";
}

// ---- lifecycle ----

void AppModel::loadState() {
  if (services_.store) setState(services_.store->load(services_.clock->now()));
  if (services_.badge) services_.badge->setCount(badgeCount(Pane::updates));
}

void AppModel::save() {
  try {
    if (services_.store) services_.store->save(*state_);
    saveFailing_ = false;
    reviewNotice();  // the outage, if one was on show, is over
  } catch (const std::exception& e) {
    // A save that keeps failing is said once, not at every save; one that
    // fails again after a save went through is news, even in the same words
    // as the notice still on show.
    const Notice failure{TextTrim::oneLine(std::string("Couldn't save settings: ") + e.what()),
                         true};
    if (!saveFailing_ || notice_ != failure) {
      note(QString::fromStdString(failure.text), true, SavesFailing{});
    }
    saveFailing_ = true;
  }
  if (services_.badge) services_.badge->setCount(badgeCount(Pane::updates));
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

}  // namespace larkvale
