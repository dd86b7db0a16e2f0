#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "app/desktop/DesktopWorkspaceImpl.h"
#include "app/desktop/DialogPanels.h"
#include "app/desktop/LinuxHostFacts.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

bool has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST(LinuxHostFactsTest, NamesAndRunningPathFromTheirFiles) {
  test::TempDir temp;
  std::optional<std::string> hostName = "ada-laptop";
  LinuxHostFacts::Sources sources{temp / "machine-info", temp / "SystemVersion.plist",
                                  temp / "proc/self", [&] { return hostName; }};
  LinuxHostFacts host(sources);
  EXPECT_EQ(host.macName(), "ada-laptop");
  EXPECT_EQ(host.runningPath(), fs::path());

  temp.write("machine-info", "CHASSIS=laptop\nPRETTY_HOSTNAME=\"Ada's \\\"Mac\\\" \\$1\"\n");
  EXPECT_EQ(host.macName(), "Ada's \"Mac\" $1");
  temp.write("machine-info", "PRETTY_HOSTNAME=\n");
  EXPECT_EQ(host.macName(), "ada-laptop");
  // A name of hidden characters and spaces would show as nothing.
  temp.write("machine-info", "PRETTY_HOSTNAME=\"\u200B \u202E\r\u3000\xF3\xA0\x80\x81\"\n");
  EXPECT_EQ(host.macName(), "ada-laptop");
  temp.write("machine-info", "PRETTY_HOSTNAME=\"Ada\u202E's Mac\"\n");
  EXPECT_EQ(host.macName(), "Ada\u202E's Mac");
  temp.write("machine-info", "");
  hostName = "\u2066\u2069";
  EXPECT_EQ(host.macName(), std::nullopt);
  hostName.reset();
  EXPECT_EQ(host.macName(), std::nullopt);

  fs::create_directories(temp / "proc/self");
  fs::create_symlink("/Applications/Larkvale.app/Contents/MacOS/Larkvale", temp / "proc/self/exe");
  EXPECT_EQ(host.runningPath(), "/Applications/Larkvale.app");
  ASSERT_TRUE(temp.remove(temp / "proc/self/exe"));
  fs::create_symlink("/usr/bin/larkvale (deleted)", temp / "proc/self/exe");
  EXPECT_EQ(host.runningPath(), "/usr/bin/larkvale");

  EXPECT_EQ(LinuxHostFacts().runningPath(), fs::canonical("/proc/self/exe"));
}

TEST(DesktopWorkspaceTest, RunningProgramsGiveTheirNamesAndMatchingIdentifiers) {
  test::TempDir temp;
  const fs::path bundle = temp / "Apps/Preview.app";
  temp.write("Apps/Preview.app/Contents/Info.plist",
             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
             "<string>com.example.Preview</string></dict></plist>");
  temp.write("proc/100/comm", "Firefox-bin\n");
  fs::create_symlink("/opt/firefox/firefox", temp / "proc/100/exe");
  temp.write("proc/200/comm", "Preview\n");
  fs::create_symlink(bundle / "Contents/MacOS/Preview", temp / "proc/200/exe");
  temp.write("proc/300/comm", "kworker/0:1\n");  // a kernel thread: no program
  temp.mkdir("proc/400");                        // ended while listed
  temp.write("proc/self/comm", "not-a-process\n");

  DesktopWorkspaceImpl::Environment environment;
  environment.procRoot = temp / "proc";
  environment.knownIdentifiers = [] {
    return std::vector<std::string>{"org.mozilla.Firefox", "com.example.Other", "firefox-bin"};
  };
  const auto running = DesktopWorkspaceImpl(environment).runningBundleIdentifiers();
  std::vector<std::string> sorted = running;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"com.example.Preview", "firefox", "firefox-bin",
                                              "kworker/0:1", "org.mozilla.Firefox", "preview"}));

  // The real system: this very test program runs.
  const std::string self = fs::canonical("/proc/self/exe").filename().string();
  EXPECT_TRUE(has(DesktopWorkspaceImpl().runningBundleIdentifiers(), self)) << self;
}

TEST(QtDesktopTest, PanelsOpenAtHomeThenWhereTheirPurposeLastEndedWithTheMessageInside) {
  test::TempDir temp;
  const QString home = QString::fromStdString((temp / "home").string());
  temp.mkdir("home/Drive");
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", home.toUtf8());
  QString openedIn, message;
  auto answerNext = [&](std::optional<QString> folder) {  // accepts from `folder`, else cancels
    QTimer::singleShot(0, [&, folder] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      openedIn = dialog->directory().absolutePath();
      message = dialog->findChild<QLabel*>(QStringLiteral("panelMessage"))->text();
      if (!folder) return dialog->reject();
      dialog->setDirectory(*folder);
      QMetaObject::invokeMethod(dialog, "accept");
    });
  };
  DialogPanels panels;
  EXPECT_EQ(DialogPanels::nameFilters({"json"}), QStringList{"Files (*.json)"});
  EXPECT_EQ(DialogPanels::nameFilters({"md", "txt"}), QStringList{"Files (*.md *.txt)"});
  EXPECT_TRUE(DialogPanels::nameFilters({}).isEmpty());
  const Panels::Open copy{true, false, true, {}, "Copy Here", "Choose a folder that goes along."};
  for (const auto& [answer, openedAt] : std::vector<std::pair<std::optional<QString>, QString>>{
           {home + "/Drive", home}, {std::nullopt, home + "/Drive"}}) {
    answerNext(answer);
    EXPECT_EQ(panels.chooseOpen(copy).has_value(), answer.has_value());
    EXPECT_EQ(openedIn, openedAt);
    EXPECT_EQ(message, copy.message);
  }
  answerNext(std::nullopt);  // another purpose
  panels.chooseOpen({true, true, false, {}, "Compare", "Choose the folder."});
  EXPECT_EQ(openedIn, home);
  qputenv("HOME", oldHome);
}

}  // namespace
}  // namespace larkvale
