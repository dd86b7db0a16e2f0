#include "app/desktop/AutostartLoginItem.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>

#include "platform/DesktopEntry.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// A program whose path needs every kind of quoting; it writes the path it
// was started by and its arguments, one per line, into `record`.
fs::path awkwardProgram(const test::TempDir& temp, const fs::path& record) {
  fs::path program = temp.write(
      "bin dir/it's \"odd\" $HOME \\ now",
      "#!/bin/sh\n{ printf '%s\\n' \"$0\"; printf '%s\\n' \"$@\"; } > '" + record.string() + "'\n");
  fs::permissions(program, fs::perms::owner_all);
  return program;
}

TEST(AutostartLoginItemTest, TheEntryStartsTheProgramAtItsExactPathMarkedAsLoginItem) {
  test::TempDir temp;
  const fs::path record = temp / "started";
  const fs::path program = awkwardProgram(temp, record);
  AutostartLoginItem item(temp / "config", program);
  EXPECT_FALSE(item.isEnabled());

  item.setEnabled(true);
  EXPECT_TRUE(item.isEnabled());
  EXPECT_EQ(item.entryPath(), temp / "config/autostart/larkvale.desktop");
  const std::string content = test::readAll(item.entryPath());
  // Quoted for the Exec key, then escaped as a string of the file.
  EXPECT_NE(content.find(R"(Exec="/)"), std::string::npos);
  EXPECT_NE(content.find(R"(/bin dir/it's \\"odd\\" \\$HOME \\\\ now" --login-item)"),
            std::string::npos)
      << content;
  EXPECT_EQ(DesktopEntry::value(content, "Exec"),
            R"(")" + temp.path().string() + R"(/bin dir/it's \"odd\" \$HOME \\ now" --login-item)");

  // The desktop's own launcher reads it back to the same program and argument.
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (gio.isEmpty()) GTEST_SKIP() << "gio is not installed";
  QProcess launch;
  launch.start(gio, {QStringLiteral("launch"), QString::fromStdString(item.entryPath().string())});
  ASSERT_TRUE(launch.waitForFinished(30000));
  EXPECT_EQ(launch.exitCode(), 0) << launch.readAllStandardError().toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return test::readAll(record).ends_with("\n"); }, 10000));
  EXPECT_EQ(test::readAll(record), program.string() + "\n--login-item\n");
}

TEST(AutostartLoginItemTest, OnOffAndHiddenEntries) {
  test::TempDir temp;
  AutostartLoginItem item(temp.path(), "/usr/bin/larkvale");
  item.setEnabled(false);  // nothing to remove
  EXPECT_FALSE(item.isEnabled());
  item.setEnabled(true);
  item.setEnabled(true);
  EXPECT_TRUE(item.isEnabled());
  item.setEnabled(false);
  EXPECT_FALSE(fs::exists(item.entryPath()));

  const std::string entry = AutostartLoginItem::entryContent("/usr/bin/larkvale");
  for (const auto& [extra, on] : std::vector<std::pair<std::string, bool>>{
           {"Hidden=true\n", false},
           {"Hidden=false\n", true},
           {"X-GNOME-Autostart-enabled=false\n", false},
           {"[Desktop Action quit]\nHidden=true\n", true},
       }) {
    // In place of the GNOME key.
    std::string content = entry;
    content.replace(content.find("X-GNOME-Autostart-enabled=true\n"),
                    std::string("X-GNOME-Autostart-enabled=true\n").size(), extra);
    temp.write("autostart/larkvale.desktop", content);
    EXPECT_EQ(item.isEnabled(), on) << extra;
  }

  // The folder comes from what the caller read: a relative value is ignored.
  EXPECT_EQ(AutostartLoginItem::configFolder("/home/ada", "/cfg"), "/cfg");
  EXPECT_EQ(AutostartLoginItem::configFolder("/home/ada", "cfg"), "/home/ada/.config");
  EXPECT_EQ(AutostartLoginItem::configFolder("/home/ada", nullptr), "/home/ada/.config");
}

TEST(AutostartLoginItemTest, FailuresAreLoginItemErrors) {
  test::TempDir temp;
  temp.write("blocked/autostart", "a file where the folder belongs");
  EXPECT_THROW(AutostartLoginItem(temp / "blocked", "/usr/bin/larkvale").setEnabled(true),
               LoginItemError);

  temp.write("stuck/autostart/larkvale.desktop/inside", "a folder where the entry belongs");
  AutostartLoginItem stuck(temp / "stuck", "/usr/bin/larkvale");
  EXPECT_THROW(stuck.setEnabled(false), LoginItemError);

  // A configuration folder not named absolutely would be looked for in the
  // working folder: turning off removes nothing there.
  temp.write("cwd/config/autostart/larkvale.desktop", "not this one");
  const fs::path before = fs::current_path();
  fs::current_path(temp / "cwd");
  EXPECT_THROW(AutostartLoginItem("config", "/usr/bin/larkvale").setEnabled(false), LoginItemError);
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(temp / "cwd/config/autostart/larkvale.desktop"));

  AutostartLoginItem relative(temp / "config", "bin/larkvale");
  EXPECT_THROW(relative.setEnabled(true), LoginItemError);
  EXPECT_THROW(AutostartLoginItem(temp / "config", "/opt/\xff/larkvale").setEnabled(true),
               LoginItemError);
  EXPECT_FALSE(fs::exists(temp / "config/autostart/larkvale.desktop"));
}

}  // namespace
}  // namespace larkvale
