#pragma once
// The application model: the one object that every window, menu and the tray
// read and call. It holds the saved document (AppState) and every piece of
// transient interface state, and carries out every user action.
//
// Threads: main thread only. Long work (scan, check, inventory, measuring,
// copy, New Mac Check, pressing another app's menu) runs on the model's worker
// pools; results come back to the main thread before any property changes.
// Asynchronous operations return a QFuture that finishes once the result is
// stored; never wait on one from the main thread without running its event
// loop.
//
// Observation: one Q_PROPERTY with a NOTIFY signal per observed value. A
// setter notifies only on a real change; progress, carryProgress and
// carryResult notify on every assignment, and an in-place change of state or
// safeRun always notifies once.
#include <QFuture>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "app/model/AppServices.h"
#include "app/model/Pane.h"
#include "kit/model/AppState.h"
#include "kit/movingday/DocBlock.h"
#include "kit/movingday/InventoryEntry.h"
#include "kit/movingday/NewMacDiff.h"
#include "kit/movingday/SettingsCopier.h"
#include "kit/sources/SafeUpdatePlan.h"
#include "kit/sources/SafeUpdateRun.h"

class QTimer;

namespace larkvale {

class WorkRunner;

// The one status line at the foot of the main window.
struct Notice {
  std::string text;
  bool isError = false;
  friend bool operator==(const Notice&, const Notice&) = default;
};

// The measured size of one settings item.
using CarrySize = SettingsCopier::Size;

using OptionalNotice = std::optional<Notice>;
using OptionalUpdate = std::optional<AppUpdate>;
using OptionalSafeRun = std::optional<SafeUpdateRun>;
using OptionalCarryResult = std::optional<SettingsCopier::Result>;
using OptionalNewMacDiff = std::optional<NewMacDiff>;
using OptionalText = std::optional<QString>;
using TextSet = std::set<std::string>;
using CarrySizes = std::map<std::string, CarrySize>;
using Inventory = std::vector<InventoryEntry>;
using AppNames = std::vector<std::string>;

class AppModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(larkvale::AppState state READ state WRITE setState NOTIFY stateChanged)
  Q_PROPERTY(larkvale::Pane pane READ pane WRITE setPane NOTIFY paneChanged)
  Q_PROPERTY(
      larkvale::OptionalText selection READ selection WRITE setSelection NOTIFY selectionChanged)
  Q_PROPERTY(larkvale::OptionalText inventorySelection READ inventorySelection WRITE
                 setInventorySelection NOTIFY inventorySelectionChanged)
  Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
  Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)
  Q_PROPERTY(larkvale::WorkProgress progress READ progress NOTIFY progressChanged)
  Q_PROPERTY(larkvale::OptionalNotice notice READ notice WRITE setNotice NOTIFY noticeChanged)
  Q_PROPERTY(larkvale::Inventory inventory READ inventory NOTIFY inventoryChanged)
  Q_PROPERTY(bool inventoryLoading READ inventoryLoading NOTIFY inventoryLoadingChanged)
  Q_PROPERTY(larkvale::OptionalUpdate holdRequest READ holdRequest WRITE setHoldRequest NOTIFY
                 holdRequestChanged)
  Q_PROPERTY(bool accessibilityTrusted READ accessibilityTrusted NOTIFY accessibilityTrustedChanged)
  Q_PROPERTY(bool loginItemOn READ loginItemOn NOTIFY loginItemOnChanged)
  Q_PROPERTY(bool safeSheet READ safeSheet WRITE setSafeSheet NOTIFY safeSheetChanged)
  Q_PROPERTY(
      larkvale::TextSet safeChosen READ safeChosen WRITE setSafeChosen NOTIFY safeChosenChanged)
  Q_PROPERTY(larkvale::OptionalSafeRun safeRun READ safeRun NOTIFY safeRunChanged)
  Q_PROPERTY(
      larkvale::TextSet carryChosen READ carryChosen WRITE setCarryChosen NOTIFY carryChosenChanged)
  Q_PROPERTY(larkvale::CarrySizes carrySizes READ carrySizes NOTIFY carrySizesChanged)
  Q_PROPERTY(bool carryBusy READ carryBusy NOTIFY carryBusyChanged)
  Q_PROPERTY(larkvale::WorkProgress carryProgress READ carryProgress NOTIFY carryProgressChanged)
  Q_PROPERTY(larkvale::OptionalCarryResult carryResult READ carryResult NOTIFY carryResultChanged)
  Q_PROPERTY(bool carryOnInternalDisk READ carryOnInternalDisk NOTIFY carryOnInternalDiskChanged)
  Q_PROPERTY(larkvale::OptionalNewMacDiff newMacDiff READ newMacDiff NOTIFY newMacDiffChanged)
  Q_PROPERTY(bool newMacLoading READ newMacLoading NOTIFY newMacLoadingChanged)
  Q_PROPERTY(bool notificationsDenied READ notificationsDenied NOTIFY notificationsDeniedChanged)
  Q_PROPERTY(
      larkvale::AppNames runningChosenApps READ runningChosenApps NOTIFY runningChosenAppsChanged)

 public:
  // Schedule and ages.
  static constexpr std::chrono::seconds kTimerInterval{1800};
  static constexpr std::chrono::seconds kFirstTick{20};
  static constexpr std::chrono::seconds kScheduledMaxAge{21600};
  static constexpr std::chrono::seconds kManualMaxAge{900};
  static constexpr std::chrono::seconds kPruneAge{2592000};
  static constexpr int kParallelChecks = 4;
  static constexpr const char* kWeeklyNotificationID = "weekly-summary";

  explicit AppModel(AppServices services, QObject* parent = nullptr);
  ~AppModel() override;  // cancels and joins running work (shutdown())

  // The instance the running application made; null before it exists and in
  // tests. Set once by the application entry.
  static AppModel* shared();
  static void setShared(AppModel* model);

  // ---- observed values ----
  // The reference holds until the next change of state.
  const AppState& state() const { return *state_; }
  // A state equal to the current one changes nothing; one given up (an
  // rvalue) is moved in rather than copied.
  void setState(const AppState& state);
  void setState(AppState&& state);
  // Changes state and notifies once, whatever changed. Does not save. Rows
  // handed out by paneRows() keep the state they were made from: while any
  // are held, the change is made to a copy.
  void mutateState(const std::function<void(AppState&)>& change);

  Pane pane() const { return pane_; }
  void setPane(Pane pane);
  const OptionalText& selection() const { return selection_; }
  void setSelection(const OptionalText& selection);
  const OptionalText& inventorySelection() const { return inventorySelection_; }
  void setInventorySelection(const OptionalText& selection);
  const QString& search() const { return search_; }
  void setSearch(const QString& search);
  bool checking() const { return checking_; }
  WorkProgress progress() const { return progress_; }
  // A notice that describes a state (saves failing, a command shown on
  // screen) is withdrawn, set to nothing, once that state ends; one that
  // tells an outcome stays until the next. A notice set here describes no
  // state of the model.
  const OptionalNotice& notice() const { return notice_; }
  void setNotice(const OptionalNotice& notice);
  const Inventory& inventory() const { return inventory_; }
  bool inventoryLoading() const { return inventoryLoading_; }
  const OptionalUpdate& holdRequest() const { return holdRequest_; }
  void setHoldRequest(const OptionalUpdate& update);
  bool accessibilityTrusted() const { return accessibilityTrusted_; }
  bool loginItemOn() const { return loginItemOn_; }
  bool safeSheet() const { return safeSheet_; }
  void setSafeSheet(bool shown);
  const TextSet& safeChosen() const { return safeChosen_; }
  void setSafeChosen(const TextSet& chosen);
  void setSafeChosen(const std::string& id, bool chosen);  // one tick box
  const OptionalSafeRun& safeRun() const { return safeRun_; }
  const TextSet& carryChosen() const { return carryChosen_; }
  void setCarryChosen(const TextSet& chosen);
  void setCarryChosen(const std::string& tildePath, bool chosen);  // one tick box
  const CarrySizes& carrySizes() const { return carrySizes_; }
  bool carryBusy() const { return carryBusy_; }
  WorkProgress carryProgress() const { return carryProgress_; }
  const OptionalCarryResult& carryResult() const { return carryResult_; }
  bool carryOnInternalDisk() const { return carryOnInternalDisk_; }
  const OptionalNewMacDiff& newMacDiff() const { return newMacDiff_; }
  bool newMacLoading() const { return newMacLoading_; }
  bool notificationsDenied() const { return notificationsDenied_; }
  // The names of the apps whose ticked settings belong to a running app, in
  // plain text order; empty means no warning. As of the last finished
  // refreshRunningChosenApps().
  const AppNames& runningChosenApps() const { return runningChosenApps_; }
  // The wall clock the model dates its reports with. A time shown relative
  // to now reads this one, so that it agrees with those dates.
  Date now() const { return services_.clock->now(); }

  // ---- derived ----
  // The lists are worked out on the first read after a change of what they
  // derive from (state; rows also the search text) and kept until the next
  // one. A returned reference holds until state or search changes.
  const std::vector<AppUpdate>& pendingUpdates() const;
  // The pending updates that Homebrew installs, in the same order.
  const std::vector<AppUpdate>& homebrewPending() const;
  // homebrewPending().size(), without making the list.
  int homebrewPendingCount() const;
  const std::vector<AppUpdate>& rows(Pane pane) const;
  // The rows of a pane, the same as rows(pane), with the effective status of
  // each: shared as the model keeps them, so that a holder reads them without
  // a copy, and keeps them past the next change.
  struct PaneRows {
    // The last report's updates, as kept in the state the rows were made
    // from (which they keep alive).
    std::shared_ptr<const std::vector<AppUpdate>> report;
    std::vector<uint32_t> index;                 // each row's place in `report`
    std::vector<AppState::Effective> effective;  // of each row
    size_t size() const { return index.size(); }
    const AppUpdate& at(size_t row) const { return (*report)[index[row]]; }
  };
  std::shared_ptr<const PaneRows> paneRows(Pane pane) const;
  // The effective status of each update of the last report, in report order.
  const std::vector<AppState::Effective>& reportEffective() const;
  bool rowOrder(const AppUpdate& a, const AppUpdate& b) const;
  // The last report's updates by effective status, counted in one pass:
  // pending ones (and those of them Homebrew installs), skipped or held,
  // up to date, not checked, without a source.
  struct ReportCounts {
    int waiting = 0;
    int homebrewWaiting = 0;
    int held = 0;
    int current = 0;
    int notChecked = 0;
    int noSource = 0;
  };
  const ReportCounts& reportCounts() const;
  // Updates: the number of pending updates; Held: of skipped and held ones.
  int badgeCount(Pane pane) const;
  std::optional<AppUpdate> selectedUpdate() const;
  std::optional<InventoryEntry> selectedInventoryEntry() const;
  const SafeUpdatePlan& safePlan() const;
  // Whether safePlan() has any candidate, without working the plan out.
  bool hasSafeCandidates() const;
  std::vector<DocBlock> movingDayDocument() const;
  // The computer's name for documents and folders, or "this Mac".
  std::string macName() const;

  // ---- lifecycle ----
  // Loads the state file into state (launch step) and sets the badge.
  void loadState();
  // Writes the state file and sets the badge; a failure becomes the notice.
  void save();
  void refreshPermissions();
  // Starts the schedule once: a tick every kTimerInterval and one after
  // kFirstTick.
  void start();
  // Cancels running work and joins it (at most about 2 s); later calls of
  // asynchronous operations do nothing.
  void shutdown();

  // ---- schedule and check ----
  QFuture<void> timerTick();
  QFuture<void> dailyCheckIfDue();
  QFuture<void> weeklySummaryIfDue();
  // Does nothing while a check runs. Progress only rises within a check.
  QFuture<void> check(std::chrono::seconds maxAge = kManualMaxAge);

  // ---- update actions ----
  // Each takes its own copy of the update: the one given may be a row of
  // the lists that the change of state drops.
  void skipVersion(AppUpdate update);
  void unskip(AppUpdate update);
  void holdApp(AppUpdate update, const QString& reason);
  void releaseHold(AppUpdate update);
  QFuture<bool> openOwnUpdater(const AppUpdate& update);
  // Where an upgrade in a terminal window was asked from: when no terminal
  // starts, the notice names the way to the command that that place offers.
  enum class UpgradeFrom {
    caskPage,  // a cask's own page, with Copy Command beside the button
    caskList,  // "Upgrade n Casks in Terminal…" above the list
    safeRun,   // the Homebrew step of "Update All That Are Safe", which shows the command
  };
  bool upgradeInTerminal(const std::vector<AppUpdate>& updates, UpgradeFrom from);
  void copyBrewCommand(const std::vector<AppUpdate>& updates);
  void startSafeUpdates();
  QFuture<void> startSafeRun();
  // Marks handed off the step it handed off, and only while that run still
  // stands at that step, waiting.
  QFuture<void> handOffCurrentStep();
  // The sheet's two controls: skip the current step / go on to the next,
  // each followed by handOffCurrentStep().
  QFuture<void> skipSafeStep();
  QFuture<void> advanceSafeRun();
  // Links and the file manager (the screens' hand-offs).
  void openLink(const std::string& url);
  void reveal(const std::filesystem::path& path);
  // A settings location: "~/" and the rest lies below the model's home
  // folder; anything else is revealed unchanged. Existence isn't checked.
  void revealSetting(const std::string& path);

  // ---- settings actions ----
  void setDailyCheck(bool on);
  void setCountry(const std::string& country);
  void setShowUpToDate(bool on);
  void setLoginItem(bool on);
  QFuture<void> setWeeklyNotice(bool on);
  // A removal that fails is reported as an error.
  void clearSavedFeeds();

  // ---- Moving day actions ----
  // Entries built from a report that a check replaced meanwhile are built
  // again from the new one.
  QFuture<void> loadInventory();
  void toggleTick(const std::string& id);
  void clearTicks();
  QFuture<void> measureCarrySizes();
  // Works runningChosenApps out again on the worker (it walks the running
  // processes). Only the last-started walk is stored.
  QFuture<void> refreshRunningChosenApps();
  // carryOnInternalDisk changes with carryResult, on a successful copy.
  QFuture<void> copySettings();
  // The last-started check wins: an older one that ends later is dropped.
  QFuture<void> newMacCheck();
  void exportMovingDay(bool pdf);
  void copyCommand(const std::string& command);

 signals:
  void stateChanged();
  void paneChanged();
  void selectionChanged();
  void inventorySelectionChanged();
  void searchChanged();
  void checkingChanged();
  void progressChanged();
  void noticeChanged();
  // An outcome said in the notice; sent for each one, even when it reads as
  // the notice already shown (noticeChanged is not).
  void noted(const larkvale::Notice& notice);
  // The state a notice described has ended, and a copy of it shown
  // elsewhere goes. Sent for the notice on show, which is withdrawn (after
  // noticeChanged), and as well for one that a later notice, or the user,
  // replaced on show while its state still held; once for each.
  void withdrawn(const larkvale::Notice& notice);
  void inventoryChanged();
  void inventoryLoadingChanged();
  void holdRequestChanged();
  void accessibilityTrustedChanged();
  void loginItemOnChanged();
  void safeSheetChanged();
  void safeChosenChanged();
  void safeRunChanged();
  void carryChosenChanged();
  void carrySizesChanged();
  void carryBusyChanged();
  void carryProgressChanged();
  void carryResultChanged();
  void carryOnInternalDiskChanged();
  void newMacDiffChanged();
  void newMacLoadingChanged();
  void notificationsDeniedChanged();
  void runningChosenAppsChanged();

 private:
  // Setters of the values that only the model's own operations change.
  void setChecking(bool on);
  void setProgress(WorkProgress progress);  // always notifies
  void setInventory(const Inventory& inventory);
  void setInventoryLoading(bool on);
  void setSafeRun(const OptionalSafeRun& run);
  void mutateSafeRun(const std::function<void(SafeUpdateRun&)>& change);  // always notifies
  void setCarryBusy(bool on);
  void setCarryProgress(WorkProgress progress);            // always notifies
  void setCarryResult(const OptionalCarryResult& result);  // always notifies
  void setCarryOnInternalDisk(bool on);
  void storeCarrySize(const std::string& tildePath, CarrySize size);
  void setNewMacDiff(const OptionalNewMacDiff& diff);
  void setNewMacLoading(bool on);
  void setNotificationsDenied(bool denied);
  void setRunningChosenApps(const AppNames& names);
  // What a notice on show describes that can stop being true while it
  // shows (AppModelNotice.cpp). A notice of an outcome describes nothing.
  struct SavesFailing {};
  struct StepCommand {  // the Homebrew step's command, under that step of that run
    uint64_t run = 0;
    std::string step;
  };
  struct PageCommand {  // Copy Command on the page of the cask at `path`
    std::string path;
  };
  struct LoginItemUnchanged {  // the login item isn't as the user asked
    bool wanted = false;
  };
  struct NewMacFailure {  // the folder chosen for that New Mac Check can't be read
    uint64_t run = 0;
  };
  using NoticeAbout = std::variant<std::monostate, SavesFailing, StepCommand, PageCommand,
                                   LoginItemUnchanged, NewMacFailure>;
  // A notice replaced on show while the state it describes held.
  struct Replaced {
    Notice notice;
    NoticeAbout about;
  };
  // Sets the notice and announces it through `noted`. `about` is the state
  // the notice describes, if any: the notice goes when that state ends.
  void note(const QString& text, bool isError = false, NoticeAbout about = {});
  // Puts `notice`, describing `about`, on show; the one it replaces is kept
  // in replaced_ while the state it describes holds.
  void show(const OptionalNotice& notice, NoticeAbout about);
  // Whether the state a notice describes still holds.
  bool stillHolds(const NoticeAbout& about) const;
  // Withdraws the notice on show if the state it describes has ended, and
  // drops each replaced one whose state has, announcing each through
  // `withdrawn`. Runs after every change that may end one.
  void reviewNotice();
  void watchNoticeStates();  // once, from the constructor
  // How to reach the command without a terminal window, told for the place
  // the upgrade was asked from, and where that way is shown.
  static QString commandElsewhere(UpgradeFrom from);
  NoticeAbout commandShownAt(UpgradeFrom from, const std::vector<AppUpdate>& updates) const;

  // Stores `value` and emits `changed`, unless `held` equals it already.
  template <typename T>
  void assign(T& held, const std::type_identity_t<T>& value, void (AppModel::*changed)()) {
    if (held == value) return;
    held = value;
    emit(this->*changed)();
  }
  // Stores the text as given, so that the model holds exactly what was
  // assigned, but emits `changed` only when it differs up to canonical
  // equivalence.
  template <typename T>
  void assignText(T& held, const T& value, void (AppModel::*changed)());

  // Steps of the check run (AppModelCheck.cpp).
  void onCheckProgress(uint64_t run, WorkProgress next);
  void recordReport(const CheckReport& report);
  void postWeeklySummary();
  // "major.minor.patch" of this system; nothing when it isn't known.
  std::optional<std::string> systemVersion() const;

  // Steps of the Moving day work (AppModelMovingDay.cpp).
  QFuture<void> buildInventory();
  void finishCopy(const SettingsCopier::Result& result, bool internalDisk);

  AppServices services_;
  std::unique_ptr<WorkRunner> runner_;
  uint64_t checkRun_ = 0;          // numbers each check, so late progress of an old one is dropped
  uint64_t reportGeneration_ = 0;  // bumped whenever a check replaces the last report
  uint64_t newMacRun_ = 0;         // the last-started New Mac Check wins
  uint64_t runningWalk_ = 0;       // the last-started walk of running apps wins
  uint64_t safeRunSerial_ = 0;     // tells a run from a later run with the same steps

  // Puts `next` in place of the state and notifies (AppModel.cpp).
  void replaceState(AppState&& next);
  // What the derived lists keep between changes (AppModel.cpp).
  void forgetDerived();
  struct Derived {
    std::optional<std::vector<AppUpdate>> pending;
    std::optional<std::vector<AppUpdate>> homebrewPending;
    std::optional<SafeUpdatePlan> safePlan;
    std::optional<bool> safeCandidates;
    std::optional<ReportCounts> counts;
    std::optional<std::vector<AppState::Effective>> effective;
    // Places in the report, in the order of rows(): by rank, then name.
    std::optional<std::vector<uint32_t>> order;
    // Of each last-report update, in report order: its name and bundle
    // identifier as the search compares them.
    std::vector<std::pair<QString, QString>> searchKeys;
    // By pane and search text: the rows of the current search, and those
    // without one, which a change of search keeps.
    std::map<std::pair<Pane, QString>, std::shared_ptr<const PaneRows>> rows;
    // rows(pane) as records, made from `rows` when first asked for.
    std::map<std::pair<Pane, QString>, std::vector<AppUpdate>> records;
  };
  mutable Derived derived_;

  // Shared with the rows handed out, which read its report without a copy;
  // never null.
  std::shared_ptr<AppState> state_ = std::make_shared<AppState>();
  Pane pane_ = Pane::updates;
  OptionalText selection_;
  OptionalText inventorySelection_;
  QString search_;
  bool checking_ = false;
  WorkProgress progress_;
  OptionalNotice notice_;
  NoticeAbout noticeAbout_;  // what notice_ describes
  // Notices replaced on show whose states still held then, as a copy may
  // still show elsewhere; no two with the same words, none with the words on
  // show. Each kind of state holds for one run, selection or wish at a time,
  // so this stays short.
  std::vector<Replaced> replaced_;
  bool saveFailing_ = false;  // the last save failed, and that was said
  Inventory inventory_;
  bool inventoryLoading_ = false;
  OptionalUpdate holdRequest_;
  bool accessibilityTrusted_ = false;
  bool loginItemOn_ = false;
  bool safeSheet_ = false;
  TextSet safeChosen_;
  OptionalSafeRun safeRun_;
  TextSet carryChosen_;
  CarrySizes carrySizes_;
  bool carryBusy_ = false;
  WorkProgress carryProgress_;
  OptionalCarryResult carryResult_;
  bool carryOnInternalDisk_ = false;
  OptionalNewMacDiff newMacDiff_;
  bool newMacLoading_ = false;
  bool notificationsDenied_ = false;
  AppNames runningChosenApps_;

  QTimer* timer_ = nullptr;
  QTimer* firstTick_ = nullptr;
};

}  // namespace larkvale
