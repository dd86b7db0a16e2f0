// Whether there is a tray, learnt from a real watcher program on a private
// bus: one that answers, one that stops answering while keeping its name, and
// one that answers only late. The offscreen platform has no X tray, so the
// watcher alone decides.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QTest>
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
  Watcher() {
    process_->start(QStringLiteral(LARKVALE_FAKE_TRAY_WATCHER), QStringList{});
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
  void end() {
    process_->kill();
    process_->waitForFinished(10000);
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

}  // namespace

TEST(TrayPresenceTest, WithoutAWatcherTheIconIsMadeAtOnceAndThereIsNoTray) {
  TrayPresence presence(QDBusConnection::sessionBus(), kShortBound);
  bool made = false;
  presence.whenIconMayBeMade([&] { made = true; });
  EXPECT_TRUE(waitFor([&] { return made; }));
  EXPECT_EQ(asked(presence), false);
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

}  // namespace larkvale
