#pragma once
// Whether the desktop has a tray for the app's icon, learnt without ever
// waiting on another process.
//
// Two kinds of tray are looked for: a status-notifier watcher on the session
// bus (kWatcher) with a host registered, and an X tray, the owner of the
// _NET_SYSTEM_TRAY_S<screen> selection. The watcher is a program like any
// other: it may keep its name and stop answering, or answer every call but
// slowly. When the first icon is made, the toolkit asks the watcher's owner
// several times over, waiting on each answer, and settles for the whole run
// on the watcher (when it has a host) or else the X tray. So the icon may be
// made only where one of them is there to take it, and never while the
// toolkit would wait on the watcher: only once the watcher's present owner
// answered the latest call, sent without waiting, within kQuickAnswer (a
// slow answer counts as none), or while the name has no owner (the bus
// itself says so at once). A tray that comes later, as a panel that starts
// late at log-in does, is found then, from the desktop's own word, never a
// clock: the bus's word on the watcher's name, the watcher's host signals,
// and the X tray's announcement of itself (the MANAGER message its protocol
// sends to the root window when it takes the selection). Only a watcher
// whose last answer was slow is asked again unbidden while the icon waits,
// since speed has no signal: after kRecheck, then after twice as long each
// time, at most every kRecheckMax, anew from kRecheck when its owner
// changes. So while nothing changes, nothing here wakes.
//
// What is known of the watcher comes from the bus's word on its name (owner
// changes), from its answers to IsStatusNotifierHostRegistered, asked
// afresh for each new owner, at each of its host signals and at each
// recheck, and from nothing else: a watcher that stops answering keeps its
// last answer, and one that answers late is heard then (its host counts
// for ask(), its pace does not let the icon be made). The X tray is asked
// at the start, at each ask(), recheck and MANAGER message, on the
// toolkit's own X connection, by requests whose replies are picked up once
// a marker event sent after them comes back: the server answers in order,
// so nothing polls and nothing waits. A stuck X server costs a late answer.
//
// Threads: main thread. Never blocks.
#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QDBusError;
class QDBusServiceWatcher;

namespace larkvale {

class TrayPresence final : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
  // How long an answer is waited for before what is known stands.
  static constexpr std::chrono::milliseconds kBound{2000};
  // The longest a call to the watcher may take, from its sending to its
  // answer on this thread, for the toolkit's own calls to be deemed safe:
  // it makes several in a row, and the window waits on each.
  static constexpr std::chrono::milliseconds kQuickAnswer{250};
  // How soon a watcher that answered slowly is asked again while the icon
  // waits for it; the wait doubles with each slow answer up to kRecheckMax.
  static constexpr std::chrono::milliseconds kRecheck{1000};
  static constexpr std::chrono::milliseconds kRecheckMax{60000};

  explicit TrayPresence(QDBusConnection bus = QDBusConnection::sessionBus(),
                        std::chrono::milliseconds bound = kBound, QObject* parent = nullptr);
  ~TrayPresence() override;

  // Whether the tray icon may be made now without the toolkit waiting on the
  // watcher, into a tray that is there: by what was heard last.
  bool iconMayBeMade() const;
  // Calls `make` once: now if the icon may be made, else as soon as it may
  // (perhaps never: a desktop without a tray). Never called if this object
  // goes first.
  void whenIconMayBeMade(std::function<void()> make);

  // Calls `answer` once, later, on this thread, with whether a tray is
  // there: once the X tray has answered and the watcher's host is known, or
  // when the bound passes, with what is known then. Never called if this
  // object goes first.
  void ask(std::function<void(bool)> answer);

 signals:
  // iconMayBeMade() became true.
  void iconMayBeMadeNow();

 private slots:
  // The watcher's host signals: its answer is asked afresh.
  void hostsChanged();

 private:
  struct XQuery;

  void probeWatcher();
  void watcherReplied(quint64 probe, bool hostRegistered, bool quick);
  void watcherFailed(quint64 probe, const QDBusError& error, bool quick);
  void watcherGone();
  void watcherChanged();
  void noteIconMayBeMade(bool before);
  void startX();
  void xAnswered(bool tray);
  void trayAnnounced();
  void scheduleRecheck();
  void recheck();
  void settleIfKnown();
  void settle();

  QDBusConnection bus_;
  std::chrono::milliseconds bound_;
  QDBusServiceWatcher* names_ = nullptr;
  // Assumed owned until the bus says otherwise: the icon waits for a word.
  bool watcherOwned_ = true;
  // The present owner's last answer came within kQuickAnswer.
  bool ownerQuick_ = false;
  bool answerAwaited_ = false;  // from the present owner, to the latest call
  bool hostKnown_ = false;      // an answer (or the name's loss) was heard
  bool hostRegistered_ = false;
  quint64 probe_ = 0;  // the latest call to the watcher; older replies are stale
  std::unique_ptr<XQuery> x_;
  bool xTray_ = false;
  // Children, so that a look at this object's timers finds them.
  QTimer boundTimer_{this};
  QTimer recheckTimer_{this};
  std::chrono::milliseconds recheckAfter_ = kRecheck;
  std::vector<std::function<void(bool)>> asked_;
  std::vector<std::function<void()>> makers_;
};

}  // namespace larkvale
