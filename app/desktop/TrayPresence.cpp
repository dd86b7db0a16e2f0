#include "app/desktop/TrayPresence.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace larkvale {
namespace {

// A watcher's answer is taken however late it comes: one that was only slow
// is heard then. A call that gets none is sent again, so one that recovers
// while keeping its name is heard within about this long.
constexpr int kLateAnswerMs = 60000;

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

// The X tray asked on the toolkit's own X connection, never waiting: each
// round of requests is followed by a marker, a client message sent to a
// window of our own with no event mask, which the server hands back to us,
// its maker. It answers requests in order, so when the marker comes the
// replies before it are in, and are picked up without a wait. A busy or
// stuck X server costs a late answer, never a frozen window nor a spin.
struct TrayPresence::XQuery final : QAbstractNativeEventFilter {
  enum class Step { idle, atoms, owner };

  xcb_connection_t* connection = nullptr;
  xcb_window_t root = XCB_NONE;
  xcb_window_t marked = XCB_NONE;  // unmapped, input only: the markers' address
  QByteArray selection;
  xcb_atom_t atom = XCB_ATOM_NONE;
  xcb_atom_t manager = XCB_ATOM_NONE;
  Step step = Step::idle;
  std::array<unsigned int, 2> pending{};
  uint32_t round = 0;  // the latest round's; an earlier round's marker is stale
  QObject* context = nullptr;
  std::function<void(bool)> answered;  // with whether the selection has an owner
  std::function<void()> announced;     // a tray took the selection

  void open(xcb_connection_t* toolkit, int screen) {
    // The offscreen platform answers as an X one, without a connection.
    if (!toolkit || xcb_connection_has_error(toolkit)) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(toolkit));
    for (int i = 0; i < screen && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem <= 0) return;
    connection = toolkit;
    root = screens.data->root;
    selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    marked = xcb_generate_id(connection);
    xcb_create_window(connection, 0, marked, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    // The toolkit already listens to the root's structure, where a tray's
    // MANAGER message goes.
    QCoreApplication::instance()->installNativeEventFilter(this);
  }

  void close() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    abandon();
    xcb_destroy_window(connection, marked);
    xcb_flush(connection);
  }

  unsigned int intern(const QByteArray& name) const {
    return xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData())
        .sequence;
  }

  void send() {
    ++round;
    if (atom == XCB_ATOM_NONE) {
      step = Step::atoms;
      pending = {intern(selection), intern("MANAGER")};
    } else {
      step = Step::owner;
      pending[0] = xcb_get_selection_owner(connection, atom).sequence;
    }
    xcb_client_message_event_t marker{};
    marker.response_type = XCB_CLIENT_MESSAGE;
    marker.format = 32;
    marker.window = marked;
    marker.data.data32[0] = round;
    xcb_send_event(connection, 0, marked, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&marker));
    xcb_flush(connection);
  }

  void abandon() {
    if (step == Step::idle) return;
    xcb_discard_reply(connection, pending[0]);
    if (step == Step::atoms) xcb_discard_reply(connection, pending[1]);
    step = Step::idle;
  }

  // The reply to `sequence`, now in; null when the request failed.
  void* reply(unsigned int sequence) const {
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(connection, sequence, &reply, &error) == 0) return nullptr;
    std::free(error);
    return reply;
  }

  static xcb_atom_t atomIn(void* reply) {
    const xcb_atom_t atom =
        reply ? static_cast<xcb_intern_atom_reply_t*>(reply)->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
  }

  void markerCame(uint32_t of) {
    if (step == Step::idle || of != round) return;
    if (step == Step::atoms) {
      atom = atomIn(reply(pending[0]));
      manager = atomIn(reply(pending[1]));
      if (atom != XCB_ATOM_NONE) {
        send();
        return;
      }
      step = Step::idle;
      answered(false);
      return;
    }
    void* owner = reply(pending[0]);
    step = Step::idle;
    const bool tray =
        owner && static_cast<xcb_get_selection_owner_reply_t*>(owner)->owner != XCB_NONE;
    std::free(owner);
    answered(tray);
  }

  // Runs on the toolkit's event handling: what follows is left to this
  // thread's event loop, outside it.
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_CLIENT_MESSAGE) return false;
    auto* client = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (client->window == marked) {
      const uint32_t of = client->data.data32[0];
      QMetaObject::invokeMethod(
          context, [this, of] { markerCame(of); }, Qt::QueuedConnection);
      return true;
    }
    if (client->window == root && client->format == 32 && manager != XCB_ATOM_NONE &&
        client->type == manager && client->data.data32[1] == atom) {
      QMetaObject::invokeMethod(context, announced, Qt::QueuedConnection);
    }
    return false;
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
    x_->context = this;
    x_->answered = [this](bool tray) { xAnswered(tray); };
    x_->announced = [this] { trayAnnounced(); };
    x_->open(x11->connection(), screen);
  }
#endif
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
  // The toolkit's connection goes with the application.
  if (x_->connection && QCoreApplication::instance()) x_->close();
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
  recheckTimer_.stop();
  recheckAfter_ = kRecheck;
  noteIconMayBeMade(before);
  settleIfKnown();
}

void TrayPresence::watcherChanged() {
  // A new owner has said nothing yet; until it does, its predecessor's word
  // on the host stands. Its pace is its own: it starts afresh.
  watcherOwned_ = true;
  ownerQuick_ = false;
  recheckTimer_.stop();
  recheckAfter_ = kRecheck;
  probeWatcher();
}

void TrayPresence::noteIconMayBeMade(bool before) {
  if (before || !iconMayBeMade()) return;
  recheckTimer_.stop();
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
}

void TrayPresence::xAnswered(bool tray) {
  const bool before = iconMayBeMade();
  xTray_ = tray;
  noteIconMayBeMade(before);
  settleIfKnown();
}

void TrayPresence::trayAnnounced() {
  // A round sent before the tray took the selection would say it has none.
  x_->abandon();
  startX();
}

void TrayPresence::scheduleRecheck() {
  if (makers_.empty() || iconMayBeMade() || recheckTimer_.isActive()) return;
  // Every other change is told: an owner's coming and going, a host's, an X
  // tray's. A watcher's pace is not, so only one that was slow is asked again.
  if (!watcherOwned_ || answerAwaited_ || ownerQuick_) return;
  recheckTimer_.start(recheckAfter_);
  recheckAfter_ = std::min(recheckAfter_ * 2, kRecheckMax);
}

void TrayPresence::recheck() {
  if (makers_.empty() || iconMayBeMade()) return;
  if (watcherOwned_ && !answerAwaited_) probeWatcher();
  // Should the watcher turn out to have no host, the X tray's word is fresh.
  startX();
}

void TrayPresence::settleIfKnown() {
  if (!asked_.empty() && hostKnown_ && x_->step == XQuery::Step::idle) settle();
}

void TrayPresence::settle() {
  boundTimer_.stop();
  // A round still on its way is left to come: nothing waits on it, and a
  // late answer of a tray that is there lets the icon be made then.
  scheduleRecheck();
  const bool there = (watcherOwned_ && hostKnown_ && hostRegistered_) || xTray_;
  std::vector<std::function<void(bool)>> asked;
  asked.swap(asked_);
  for (auto& answer : asked) answer(there);
}

}  // namespace larkvale
