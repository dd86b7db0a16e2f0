// Whether there is an X tray, learnt on a real X server (Xvfb, started by
// this program's main before the application) with no session bus: from the
// selection's owner when asked, and from the MANAGER message a tray sends to
// the root window when it takes the selection. The trays here are stand-ins
// on connections of their own, doing what the tray protocol asks of one.
// Skipped where Xvfb can't start.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/desktop/TrayPresence.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using namespace std::chrono_literals;

std::string display;  // empty when there is no X server to test on
pid_t xvfb = 0;

bool waitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 10000);
}

bool aTimerRuns(const TrayPresence& presence) {
  return std::ranges::any_of(presence.findChildren<QTimer*>(), &QTimer::isActive);
}

std::optional<bool> asked(TrayPresence& presence) {
  std::optional<bool> answer;
  presence.ask([&](bool tray) { answer = tray; });
  waitFor([&] { return answer.has_value(); });
  return answer;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return found;
}

// A tray for screen 0 as the protocol has one start: a window of its own
// takes the _NET_SYSTEM_TRAY_S0 selection, then a MANAGER message to the
// root window tells the clients. Gone, its connection closed, with it.
class XTray {
 public:
  explicit XTray(const char* selection = "_NET_SYSTEM_TRAY_S0") {
    connection_ = xcb_connect(display.c_str(), nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_window_t window = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const xcb_atom_t taken = atom(connection_, selection);
    xcb_set_selection_owner(connection_, window, taken, XCB_CURRENT_TIME);
    xcb_client_message_event_t manager{};
    manager.response_type = XCB_CLIENT_MESSAGE;
    manager.format = 32;
    manager.window = screen->root;
    manager.type = atom(connection_, "MANAGER");
    manager.data.data32[0] = XCB_CURRENT_TIME;
    manager.data.data32[1] = taken;
    manager.data.data32[2] = window;
    xcb_send_event(connection_, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&manager));
    xcb_flush(connection_);
  }
  ~XTray() { xcb_disconnect(connection_); }
  XTray(const XTray&) = delete;
  XTray& operator=(const XTray&) = delete;

 private:
  xcb_connection_t* connection_ = nullptr;
};

constexpr auto kShortBound = 2000ms;

}  // namespace

// A tray there before the question is found by asking; one that leaves is
// missed at the next question.
TEST(TrayPresenceOnXTest, TheSelectionsOwnerIsTheTray) {
  if (display.empty()) GTEST_SKIP() << "no X server here";
  auto tray = std::make_unique<XTray>();
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  EXPECT_EQ(asked(presence), true);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_TRUE(made);

  tray.reset();
  EXPECT_EQ(asked(presence), false);
}

// With no tray the icon waits, and nothing asks again on a clock: the tray
// that comes later is found from its MANAGER message. One for another
// screen's selection is no tray of ours.
TEST(TrayPresenceOnXTest, ATrayThatComesLaterIsFoundFromItsAnnouncement) {
  if (display.empty()) GTEST_SKIP() << "no X server here";
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_EQ(asked(presence), false);
  EXPECT_FALSE(aTimerRuns(presence));

  XTray elsewhere("_NET_SYSTEM_TRAY_S1");
  QTest::qWait(200);
  EXPECT_FALSE(made);

  XTray tray;
  EXPECT_TRUE(waitFor([&] { return made; }));
  EXPECT_EQ(asked(presence), true);
}

// An X server that stops answering holds nothing up: the question is
// answered at its bound with what is known, and the answer that comes once
// the server goes on lets the icon be made then.
TEST(TrayPresenceOnXTest, AStuckXServerCostsALateAnswerNeverAWait) {
  if (display.empty()) GTEST_SKIP() << "no X server here";
  XTray tray;
  QTest::qWait(200);
  ::kill(xvfb, SIGSTOP);
  auto resume = qScopeGuard([] { ::kill(xvfb, SIGCONT); });
  TrayPresence presence(QDBusConnection::sessionBus(), 300ms);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_EQ(asked(presence), false);
  EXPECT_FALSE(made);

  ::kill(xvfb, SIGCONT);
  EXPECT_TRUE(waitFor([&] { return made; }));
  EXPECT_FALSE(aTimerRuns(presence));
}

}  // namespace larkvale

namespace {

// Xvfb on a display of its own choosing; its number, empty when it can't
// start here.
std::string startXvfb(pid_t& pid) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Not the test's own output: should the test die, a server left holding
  // it would keep whoever reads it waiting.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // -noreset: a server resets when its last client leaves (a tray here).
  const char* args[] = {"Xvfb", "-displayfd", "1", "-noreset",   "-nolisten",
                        "tcp",  "-screen",    "0", "640x480x24", nullptr};
  const bool started =
      posix_spawnp(&pid, args[0], &actions, nullptr, const_cast<char**>(args), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string number;
  char c = 0;
  while (started && read(out[0], &c, 1) == 1 && c != '\n') number += c;
  close(out[0]);
  if (!started) pid = 0;
  return number.empty() ? std::string() : ":" + number;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  larkvale::test::TempDir dir;
  // No session bus: the X tray alone decides.
  ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (dir / "no-bus").string()).c_str(), 1);
  pid_t& xvfb = larkvale::xvfb;
  larkvale::display = startXvfb(xvfb);
  ::setenv("QT_QPA_PLATFORM", larkvale::display.empty() ? "offscreen" : "xcb", 1);
  if (!larkvale::display.empty()) ::setenv("DISPLAY", larkvale::display.c_str(), 1);
  int status = 0;
  {
    QGuiApplication app(argc, argv);
    status = RUN_ALL_TESTS();
  }
  if (xvfb > 0) {
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
  }
  return status;
}
