#include "app/desktop/TrayPresence.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QtGui/qguiapplication_platform.h>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <cstdlib>

namespace larkvale {
namespace {

// A watcher's answer is taken however late it comes: one that was only slow
// is heard then. A call that gets none is sent again, so one that recovers
// while keeping its name is heard within about this long.
constexpr int kLateAnswerMs = 60000;

constexpr auto kXPollInterval = std::chrono::milliseconds(5);

bool nameHasNoOwner(const QDBusError& error) {
  const QString name = error.name();
  return error.type() == QDBusError::Disconnected || error.type() == QDBusError::ServiceUnknown ||
         name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

bool noAnswer(const QDBusError& error) {
  return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout ||
         error.type() == QDBusError::TimedOut;
}

}  // namespace

// The X tray's selection asked on the toolkit's own X connection: a request is
// sent and its reply picked up when it has come, so a busy or stuck X server
// costs a late answer, never a frozen window.
struct TrayPresence::XQuery {
  enum class Step { idle, atom, owner };

  xcb_connection_t* connection = nullptr;
  QByteArray selection;
  xcb_atom_t atom = XCB_ATOM_NONE;
  Step step = Step::idle;
  unsigned int pending = 0;

  void send() {
    if (atom == XCB_ATOM_NONE) {
      step = Step::atom;
      pending = xcb_intern_atom(connection, 0, static_cast<uint16_t>(selection.size()),
                                selection.constData())
                    .sequence;
    } else {
      step = Step::owner;
      pending = xcb_get_selection_owner(connection, atom).sequence;
    }
    xcb_flush(connection);
  }

  void abandon() {
    if (step == Step::idle) return;
    xcb_discard_reply(connection, pending);
    step = Step::idle;
  }
};

TrayPresence::TrayPresence(QDBusConnection bus, std::chrono::milliseconds bound, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), bound_(bound), x_(std::make_unique<XQuery>()) {
#if QT_CONFIG(xcb)
  if (auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    // The toolkit's connection serves the screen that DISPLAY names.
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
    std::free(host);
    x_->connection = x11->connection();
    x_->selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
  }
#endif
  xPoll_.setInterval(kXPollInterval);
  connect(&xPoll_, &QTimer::timeout, this, &TrayPresence::pollX);
  boundTimer_.setSingleShot(true);
  connect(&boundTimer_, &QTimer::timeout, this, &TrayPresence::settle);
  recheckTimer_.setSingleShot(true);
  connect(&recheckTimer_, &QTimer::timeout, this, &TrayPresence::recheck);

  const QString watcher = QString::fromLatin1(kWatcher);
  if (bus_.isConnected()) {
    names_ = new QDBusServiceWatcher(watcher, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(names_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              if (owner.isEmpty()) {
                watcherGone();
              } else {
                watcherChanged();
              }
            });
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
      bus_.connect(watcher, QString::fromLatin1(kWatcherPath), watcher, QString::fromLatin1(signal),
                   this, SLOT(hostsChanged()));
    }
  }
  // Without a bus there is no watcher, and the toolkit's question fails at once.
  if (bus_.isConnected()) {
    probeWatcher();
  } else {
    watcherGone();
  }
  startX();
}

TrayPresence::~TrayPresence() {
  if (x_->connection) x_->abandon();
}

bool TrayPresence::iconMayBeMade() const {
  // The toolkit would wait on an owner that has not answered quickly.
  if (watcherOwned_ && !ownerQuick_) return false;
  // It takes the watcher when it has a host, else the X tray, for good: an
  // icon made with neither would never reach a tray that comes later.
  return (watcherOwned_ && hostRegistered_) || xTray_;
}

void TrayPresence::whenIconMayBeMade(std::function<void()> make) {
  if (iconMayBeMade()) {
    make();
    return;
  }
  makers_.push_back(std::move(make));
  scheduleRecheck();
}

void TrayPresence::ask(std::function<void(bool)> answer) {
  asked_.push_back(std::move(answer));
  // A question asked while others wait shares their answers.
  if (boundTimer_.isActive()) return;
  boundTimer_.start(bound_);
  startX();
  // Answered from the event loop, never inside the asker's own call.
  QTimer::singleShot(0, this, &TrayPresence::settleIfKnown);
}

void TrayPresence::hostsChanged() {
  probeWatcher();
}

void TrayPresence::probeWatcher() {
  const quint64 probe = ++probe_;
  answerAwaited_ = true;
  // Timed to its handling here, not to its arrival: a reply this thread
  // only gets to late would keep the toolkit's calls waiting as long.
  const auto sent = std::chrono::steady_clock::now();
  QDBusMessage get = QDBusMessage::createMethodCall(
      QString::fromLatin1(kWatcher), QString::fromLatin1(kWatcherPath),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QString::fromLatin1(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
  // Only a running watcher counts; none is started for the question.
  get.setAutoStartService(false);
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, kLateAnswerMs), this);
  connect(call, &QDBusPendingCallWatcher::finished, this,
          [this, probe, sent](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const bool quick = std::chrono::steady_clock::now() - sent < kQuickAnswer;
            const QDBusPendingReply<QDBusVariant> reply = *finished;
            if (reply.isError()) {
              watcherFailed(probe, reply.error(), quick);
            } else {
              watcherReplied(probe, reply.value().variant().toBool(), quick);
            }
          });
}

void TrayPresence::watcherReplied(quint64 probe, bool hostRegistered, bool quick) {
  if (probe != probe_) return;
  const bool before = iconMayBeMade();
  watcherOwned_ = true;
  answerAwaited_ = false;
  ownerQuick_ = quick;
  hostKnown_ = true;
  hostRegistered_ = hostRegistered;
  noteIconMayBeMade(before);
  settleIfKnown();
  scheduleRecheck();
}

void TrayPresence::watcherFailed(quint64 probe, const QDBusError& error, bool quick) {
  if (probe != probe_) return;
  if (nameHasNoOwner(error)) {
    watcherGone();
    return;
  }
  if (noAnswer(error)) {
    ownerQuick_ = false;
    probeWatcher();
    return;
  }
  // An error is an answer too: the toolkit's own question would get one,
  // and find no host in it.
  watcherReplied(probe, false, quick);
}

void TrayPresence::watcherGone() {
  const bool before = iconMayBeMade();
  ++probe_;  // whatever the last owner still says is of no account
  watcherOwned_ = false;
  answerAwaited_ = false;
  ownerQuick_ = false;
  hostKnown_ = true;
  hostRegistered_ = false;
  noteIconMayBeMade(before);
  settleIfKnown();
  scheduleRecheck();
}

void TrayPresence::watcherChanged() {
  // A new owner has said nothing yet; until it does, its predecessor's word
  // on the host stands.
  watcherOwned_ = true;
  ownerQuick_ = false;
  probeWatcher();
}

void TrayPresence::noteIconMayBeMade(bool before) {
  if (before || !iconMayBeMade()) return;
  emit iconMayBeMadeNow();
  std::vector<std::function<void()>> makers;
  makers.swap(makers_);
  for (auto& make : makers) make();
}

void TrayPresence::startX() {
  if (!x_->connection || x_->step != XQuery::Step::idle) return;
  if (xcb_connection_has_error(x_->connection)) {
    xTray_ = false;
    return;
  }
  x_->send();
  xPoll_.start();
}

void TrayPresence::pollX() {
  const bool before = iconMayBeMade();
  void* reply = nullptr;
  xcb_generic_error_t* error = nullptr;
  if (xcb_connection_has_error(x_->connection)) {
    x_->step = XQuery::Step::idle;
  } else if (!xcb_poll_for_reply(x_->connection, x_->pending, &reply, &error)) {
    return;
  } else if (x_->step == XQuery::Step::atom) {
    x_->atom =
        reply ? static_cast<xcb_intern_atom_reply_t*>(reply)->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (x_->atom != XCB_ATOM_NONE) {
      std::free(reply);
      std::free(error);
      x_->send();
      return;
    }
    x_->step = XQuery::Step::idle;
    xTray_ = false;
  } else {
    x_->step = XQuery::Step::idle;
    xTray_ = reply && static_cast<xcb_get_selection_owner_reply_t*>(reply)->owner != XCB_NONE;
  }
  std::free(reply);
  std::free(error);
  xPoll_.stop();
  noteIconMayBeMade(before);
  settleIfKnown();
  scheduleRecheck();
}

void TrayPresence::scheduleRecheck() {
  if (makers_.empty() || iconMayBeMade() || recheckTimer_.isActive()) return;
  recheckTimer_.start(kRecheck);
}

void TrayPresence::recheck() {
  if (makers_.empty() || iconMayBeMade()) return;
  // One call at a time: a watcher that is slow already is not sent more.
  // Each answer, of the watcher or of the X tray, schedules the next recheck.
  if (watcherOwned_ && !answerAwaited_) probeWatcher();
  startX();
}

void TrayPresence::settleIfKnown() {
  if (!asked_.empty() && hostKnown_ && x_->step == XQuery::Step::idle) settle();
}

void TrayPresence::settle() {
  boundTimer_.stop();
  if (x_->connection) x_->abandon();
  xPoll_.stop();
  scheduleRecheck();
  const bool there = (watcherOwned_ && hostKnown_ && hostRegistered_) || xTray_;
  std::vector<std::function<void(bool)>> asked;
  asked.swap(asked_);
  for (auto& answer : asked) answer(there);
}

}  // namespace larkvale
