#pragma once
// Whether the desktop has a tray for the app's icon, learnt without ever
// waiting on another process.
//
// Two kinds of tray are looked for: a status-notifier watcher on the session
// bus (kWatcher) with a host registered, and an X tray, the owner of the
// _NET_SYSTEM_TRAY_S<screen> selection. The watcher is a program like any
// other: it may keep its name and stop answering. The toolkit's own tray icon
// asks it synchronously, for the bus's whole timeout, when the first icon is
// made and when an icon is shown; so the icon may be made only once the
// watcher's present owner has answered a call sent without waiting, or while
// the name has no owner (the bus itself says so at once).
//
// What is known of the watcher comes from the bus's word on its name (owner
// changes), from its answers to IsStatusNotifierHostRegistered, asked
// afresh for each new owner and at each of its host signals, and from
// nothing else: a watcher that stops answering keeps its last answer, and one
// that answers late is heard then. The X tray is asked at each ask(), by a
// request whose reply is looked for, never waited for.
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

  explicit TrayPresence(QDBusConnection bus = QDBusConnection::sessionBus(),
                        std::chrono::milliseconds bound = kBound, QObject* parent = nullptr);
  ~TrayPresence() override;

  // Whether the tray icon may be made now without the toolkit waiting on the
  // watcher.
  bool iconMayBeMade() const { return !watcherOwned_ || ownerAnswered_; }
  // Calls `make` once: now if the icon may be made, else as soon as it may.
  // Never called if this object goes first.
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
  void watcherReplied(quint64 probe, bool hostRegistered);
  void watcherFailed(quint64 probe, const QDBusError& error);
  void watcherGone();
  void watcherChanged();
  void noteIconMayBeMade(bool before);
  void startX();
  void pollX();
  void settleIfKnown();
  void settle();

  QDBusConnection bus_;
  std::chrono::milliseconds bound_;
  QDBusServiceWatcher* names_ = nullptr;
  // Assumed owned until the bus says otherwise: the icon waits for a word.
  bool watcherOwned_ = true;
  bool ownerAnswered_ = false;
  bool hostKnown_ = false;  // an answer (or the name's loss) was heard
  bool hostRegistered_ = false;
  quint64 probe_ = 0;  // the latest call to the watcher; older replies are stale
  std::unique_ptr<XQuery> x_;
  bool xTray_ = false;
  QTimer xPoll_;
  QTimer boundTimer_;
  std::vector<std::function<void(bool)>> asked_;
  std::vector<std::function<void()>> makers_;
};

}  // namespace larkvale
