// The Settings pane over the real model and its fakes: each control calls
// the model, shows what the model (and the system) really hold afterwards,
// and the notices that follow.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "app/screens/updates/SettingsPane.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class SettingsPaneTest : public QObject {
  Q_OBJECT

  static void click(const QWidget* pane, const char* name) {
    auto* button = child<QAbstractButton>(pane, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }

  static bool checked(const QWidget* pane, const char* name) {
    return child<QCheckBox>(pane, name)->isChecked();
  }

  static QString noticeText(const AppModel& model) {
    return model.notice() ? QString::fromStdString(model.notice()->text) : QString();
  }

 private slots:
  void dailyCheckAndCountry() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    SettingsPane pane(*f.model, *catalogue);
    QVERIFY(checked(&pane, "settingsDailyCheck"));
    click(&pane, "settingsDailyCheck");
    QVERIFY(!f.model->state().settings.dailyCheck);
    QVERIFY(!checked(&pane, "settingsDailyCheck"));

    auto* country = child<QComboBox>(&pane, "settingsCountry");
    QCOMPARE(country->currentData().toString(), QString("us"));
    // A code the pane doesn't offer stays until a row is picked.
    f.model->mutateState([](AppState& s) { s.settings.country = "se"; });
    QCOMPARE(country->currentIndex(), -1);
    QCOMPARE(country->placeholderText(), QString("SE"));
    QTest::keyClick(country, Qt::Key_Down);
    QTest::keyClick(country, Qt::Key_Down);
    QCOMPARE(f.model->state().settings.country, std::string("gb"));
    QCOMPARE(country->currentIndex(), 1);
  }

  void loginItemShowsWhatTheSystemDid() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    SettingsPane pane(*f.model, *catalogue);
    click(&pane, "settingsLoginItem");
    QVERIFY(f.fakes.loginItem->enabled);
    QVERIFY(checked(&pane, "settingsLoginItem"));
    QVERIFY(!f.model->notice());
    f.fakes.loginItem->refuse = "Not allowed";
    click(&pane, "settingsLoginItem");
    QVERIFY(checked(&pane, "settingsLoginItem"));
    QCOMPARE(noticeText(*f.model),
             QString("The desktop didn't change the login item: Not allowed."));
  }

  void weeklySummaryWaitsForTheDesktop() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    SettingsPane pane(*f.model, *catalogue);
    pane.show();
    auto* off = child(&pane, "settingsNotificationsOff");
    QVERIFY(off->isHidden());
    f.fakes.notifications->nextAnswer = false;
    click(&pane, "settingsWeekly");
    QVERIFY(waitUntil([&] { return f.model->notificationsDenied(); }));
    QVERIFY(!checked(&pane, "settingsWeekly"));
    QVERIFY(off->isVisible());

    f.fakes.notifications->nextAnswer = std::nullopt;  // the answer comes later
    click(&pane, "settingsWeekly");
    QVERIFY(!checked(&pane, "settingsWeekly"));
    f.fakes.notifications->answer(true);
    QVERIFY(waitUntil([&] { return f.model->state().settings.weeklyNotice; }));
    QVERIFY(checked(&pane, "settingsWeekly"));
    QVERIFY(off->isHidden());
  }

  void statusLinesAndClearSavedFeeds() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    SettingsPane pane(*f.model, *catalogue);
    QCOMPARE(labelText(&pane, "settingsLastCheck"), QString("Not checked yet."));
    f.report({});
    QVERIFY(labelText(&pane, "settingsLastCheck").startsWith("Last check: "));
    QVERIFY(labelText(&pane, "settingsLastCheck").endsWith("."));
    QCOMPARE(labelText(&pane, "settingsAccessibility"), QString("Not available on this desktop"));

    QStringList texts;
    for (auto* label : pane.findChildren<QLabel*>()) texts << label->text();
    const QString all = texts.join('\n');
    QVERIFY(all.contains("Apple (itunes.apple.com) with"));
    QVERIFY(all.contains("request to api.github.com for"));
    QVERIFY(all.contains("update check at maker.example (about once a day)"));
    QVERIFY(all.contains("<code>brew info</code> and <code>brew outdated</code>"));

    click(&pane, "settingsClearFeeds");
    QCOMPARE(f.fakes.checker->clears, 1);
    QVERIFY(child(&pane, "moreAppsButton"));
  }

  // CMakeLists.txt runs this program on a French and on a Spanish desktop:
  // the app speaks English only, and so do the date and the country names
  // inside its sentences.
  void englishWhateverTheDesktopSpeaks() {
    QVERIFY(QLocale::system().language() != QLocale::English);
    ScreensFixture f;
    auto catalogue = f.catalogue();
    SettingsPane pane(*f.model, *catalogue);
    auto* country = child<QComboBox>(&pane, "settingsCountry");
    QStringList names;
    for (int i = 0; i < country->count(); ++i) names << country->itemText(i);
    QCOMPARE(names, QStringList({"United States", "United Kingdom", "Canada", "Australia",
                                 "Ireland", "New Zealand", "Germany", "France", "Spain", "Italy",
                                 "Netherlands", "Japan"}));
    f.model->mutateState([](AppState& s) {
      s.lastReport = CheckReport{*Dates::parseIso8601("2026-12-05T10:00:00Z"), {}, true, {}};
    });
    QCOMPARE(labelText(&pane, "settingsLastCheck"),
             QString("Last check: Dec 5, 2026, 10:00\u202fAM."));
  }

  void wrappedTextsKeepEveryLineInAWideWindow() {
    // Wider than the pane's cap, as in a large window: the pane's height must
    // follow the width its texts really get.
    ScreensFixture f;
    auto catalogue = f.catalogue();
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(new SettingsPane(*f.model, *catalogue, &host));
    layout->addStretch(1);
    host.resize(1300, host.heightForWidth(1300));
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    for (auto* label : host.findChildren<QLabel*>()) {
      if (!label->wordWrap() || !label->isVisible()) continue;
      QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
    }
  }
};

QTEST_MAIN(SettingsPaneTest)
#include "SettingsPaneTest.moc"
