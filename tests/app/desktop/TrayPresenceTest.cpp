// Whether there is a tray, learnt from a real watcher program on a private
// bus: one that answers, one that stops answering while keeping its name, one
// that answers only late, one that answers every call slowly, and one that
// comes after the question. The offscreen platform has no X tray, so the
// watcher alone decides.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "app/desktop/TrayPresence.h"

namespace larkvale {
namespace {

using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 10000);
}

// The fake watcher as another process, stopped and let go on by signals;
// ended when the test leaves, however it leaves.
class Watcher {
 public:
  explicit Watcher(const QStringList& arguments = {}) {
    process_->start(QStringLiteral(LARKVALE_FAKE_TRAY_WATCHER), arguments);
    started_ = waitFor([this] {
                 return process_->state() == QProcess::NotRunning ||
                        (process_->canReadLine() && process_->readLine() == "ready\n");
               }) &&
               process_->state() == QProcess::Running;
  }
  ~Watcher() {
    if (process_->state() == QProcess::NotRunning) return;
    resume();
    process_->kill();
    process_->waitForFinished(10000);
  }
  bool started() const { return started_; }
  void stop() { ::kill(static_cast<pid_t>(process_->processId()), SIGSTOP); }
  void resume() { ::kill(static_cast<pid_t>(process_->processId()), SIGCONT); }
  // A slow watcher answers at once from then on.
  void quicken() { ::kill(static_cast<pid_t>(process_->processId()), SIGUSR1); }
  void end() {
    process_->kill();
    process_->waitForFinished(10000);
  }
  // How many of the lines written since the last look say `what`.
  int linesSaying(const QByteArray& what) {
    int count = 0;
    while (process_->canReadLine()) count += process_->readLine() == what + "\n" ? 1 : 0;
    return count;
  }

 private:
  std::unique_ptr<QProcess> process_ = std::make_unique<QProcess>();
  bool started_ = false;
};

// What ask() answers, once it has.
std::optional<bool> asked(TrayPresence& presence) {
  std::optional<bool> answer;
  int answers = 0;
  presence.ask([&](bool tray) {
    answer = tray;
    ++answers;
  });
  // Never inside the asker's own call.
  EXPECT_EQ(answers, 0);
  waitFor([&] { return answers > 0; });
  QCoreApplication::processEvents();
  EXPECT_LE(answers, 1);
  return answer;
}

constexpr auto kShortBound = 200ms;

bool aTimerRuns(const TrayPresence& presence) {
  return std::ranges::any_of(presence.findChildren<QTimer*>(), &QTimer::isActive);
}

}  // namespace

// Without a watcher (nor an X tray) there is no tray, and an icon made now
// would never reach one that comes later: it waits, with nothing asking
// again on a clock. A watcher that starts after the app, as a panel that
// starts late does, is found from the bus's word on its name.
TEST(TrayPresenceTest, WithoutATrayTheIconWaitsForAWatcherThatComesLater) {
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_EQ(asked(presence), false);
  EXPECT_FALSE(made);
  EXPECT_FALSE(aTimerRuns(presence));

  Watcher watcher;
  ASSERT_TRUE(watcher.started());
  EXPECT_TRUE(waitFor([&] { return made; }));
  EXPECT_EQ(asked(presence), true);
}

// The watcher answered while the icon was made: when it later keeps its
// name but stops answering, its last word stands, and every question is
// still answered in time. Once its name is gone, there is no tray.
TEST(TrayPresenceTest, AWatcherThatStopsAnsweringKeepsItsLastAnswer) {
  Watcher watcher;
  ASSERT_TRUE(watcher.started());
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  ASSERT_TRUE(waitFor([&] { return made; }));
  EXPECT_EQ(asked(presence), true);

  watcher.stop();
  EXPECT_EQ(asked(presence), true);
  // Two questions while one is on its way share its answer.
  std::vector<bool> answers;
  presence.ask([&](bool tray) { answers.push_back(tray); });
  presence.ask([&](bool tray) { answers.push_back(tray); });
  EXPECT_TRUE(waitFor([&] { return answers.size() == 2; }));
  EXPECT_EQ(answers, (std::vector{true, true}));

  watcher.end();
  EXPECT_TRUE(waitFor([&] { return asked(presence) == false; }));
}

// A watcher that holds its name but answers nothing from the start: the
// icon waits (the toolkit would wait on it for the bus's whole timeout),
// a question is answered "no tray" once the bound passes, and when the
// watcher answers at last, the icon may be made and the tray is there.
TEST(TrayPresenceTest, AWatcherHungFromTheStartHoldsTheIconBackUntilItAnswers) {
  Watcher watcher;
  ASSERT_TRUE(watcher.started());
  watcher.stop();
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_EQ(asked(presence), false);
  EXPECT_FALSE(made);
  EXPECT_FALSE(presence.iconMayBeMade());

  watcher.resume();
  EXPECT_TRUE(waitFor([&] { return made; }));
  EXPECT_EQ(asked(presence), true);
}

// A watcher that answers every call, but each one late: the toolkit's calls
// would hold the window as long, four times over. Its answer counts for the
// question, never for the icon, which waits until it answers quickly.
TEST(TrayPresenceTest, ASlowWatcherHoldsTheIconBackUntilItAnswersQuickly) {
  Watcher watcher({QStringLiteral("--slow"), QStringLiteral("1000")});
  ASSERT_TRUE(watcher.started());
  // Long enough for a slow answer to be heard.
  TrayPresence presence(QDBusConnection::sessionBus(), 5s);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_EQ(asked(presence), true);
  EXPECT_FALSE(made);
  EXPECT_FALSE(presence.iconMayBeMade());

  watcher.quicken();
  EXPECT_TRUE(waitFor([&] { return made; }));
}

// A slow watcher is asked again, since its pace has no signal, but less and
// less often: over 10 s at half a second an answer, a call every second
// would come 7 times; the doubling wait (1 s, 2 s, 4 s) allows 4.
TEST(TrayPresenceTest, ASlowWatcherIsAskedLessAndLessOften) {
  Watcher watcher(
      {QStringLiteral("--slow"), QStringLiteral("500"), QStringLiteral("--tell-calls")});
  ASSERT_TRUE(watcher.started());
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  QTest::qWait(10000);
  EXPECT_FALSE(made);
  const int calls = watcher.linesSaying("asked");
  EXPECT_GE(calls, 2);
  EXPECT_LE(calls, 5);
}

}  // namespace larkvale
