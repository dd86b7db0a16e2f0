// The help window's content: the cards, their texts with bold source names,
// and the credit footer; every text wraps. What Help says about Larkvale's
// own updates is what its own row says and does.
#include <QPushButton>
#include <QTest>

#include "app/screens/updates/HelpView.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/UpdateDetail.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/Card.h"
#include "kit/model/OwnApp.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

struct CardTexts {
  QString title;
  QStringList texts;  // as written, before the bold marks become markup
};

// Every card of the help view with the texts it shows, in order.
QList<CardTexts> shownCards(const HelpView& help) {
  QList<CardTexts> cards;
  for (auto* card : help.findChildren<ui::Card*>()) {
    CardTexts shown{card->title(), {}};
    for (auto* label : card->findChildren<QLabel*>("helpText")) {
      if (!label->wordWrap()) shown.texts << "(does not wrap) " + label->text();
      shown.texts << label->text();
    }
    cards << shown;
  }
  return cards;
}

const QString kOwnUpdates = QStringLiteral(
    "Larkvale checks for its own updates: Larkvale › Check for Updates… (it also checks about "
    "once a day) and shows the new version's page; it never installs itself. Its own row in the "
    "list uses that too, and it's never part of Update All That Are Safe.");

}  // namespace

class HelpViewTest : public QObject {
  Q_OBJECT

 private slots:
  void cardsAndTexts() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    HelpView help(*catalogue);
    const QList<CardTexts> expected = {
        {"Updates",
         {"Check Now (Ctrl+R) lists the apps in /Applications and ~/Applications and asks where "
          "each one's updates come from:",
          "• **Sparkle feed**: the app's own appcast. Open & Check for Updates opens the app so "
          "its updater installs the new version.",
          "• **Homebrew cask**: Upgrade in Terminal opens a terminal window showing the brew "
          "command; it runs when you press Return.",
          "• **GitHub releases**: for apps that name their GitHub repository (or are on "
          "Larkvale's list). Open Release Page; you download and install.",
          "• **App Store**: Open in App Store shows the app's page, where Update installs it.",
          "**Update All That Are Safe…** lists the Sparkle and Homebrew updates waiting. Untick "
          "any, press Start, and each one is handed off in turn: the app opens for its own "
          "updater, and all casks share one terminal window you start. Press Next when one is "
          "done. App Store and GitHub updates are never part of it.",
          "• **macOS** and **No feed**: Apple's apps update with macOS; for the rest, check the "
          "developer's site."}},
        {"Skip and hold",
         {"Skip This Version hides one version; a newer one is offered again. Hold… stops offers "
          "for an app until you release it, with a note saying why. Both are listed under "
          "Skipped & Held."}},
        {"Moving day",
         {"Inventory lists every app with where it came from, where its settings live and what "
          "to do about its licence. Restore Checklist puts the new Mac's steps in order with "
          "tick boxes. Export saves both as Markdown or PDF; keep that file off the old Mac. "
          "Copy Settings copies the Preferences and Application Support items you tick to a "
          "folder you choose (a drive), with a manifest. On the new Mac, New Mac Check opens "
          "that folder and lists the apps and settings still missing. Licence files, caches and "
          "containers are left out; licence keys and Keychain items are never read or "
          "exported."}},
        {"Tray",
         {"The arrow in the tray shows how many updates are waiting. Turn on Settings › Open at "
          "login so the daily check keeps running."}},
        {"Larkvale's own updates", {kOwnUpdates}},
    };
    const QList<CardTexts> shown = shownCards(help);
    QCOMPARE(shown.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
      QCOMPARE(shown[i].title, expected[i].title);
      QStringList rendered;
      for (const QString& text : expected[i].texts) rendered << viewblocks::richText(text);
      QCOMPARE(shown[i].texts, rendered);
    }
    QVERIFY(shown[0].texts[1].startsWith("• <b>Sparkle feed</b>: "));
    QVERIFY(help.findChild<QPushButton*>("moreAppsButton"));
  }

  // Help, the tooltip of the own row's "Check for Updates…" and that row's
  // source sentence tell the same story: Larkvale checks, shows the new
  // version's page and never installs itself.
  void ownUpdateTextsAgreeWithHelp() {
    ScreensFixture f;
    AppUpdate own = update("Larkvale");
    own.app.bundleID = *OwnApp::bundleIDs().begin();
    own.source = UpdateSource::sparkle("https://updates.example.org/appcast.xml");
    QString tooltip;
    for (const auto& action : UpdateActions::actions(*f.model, own, false)) {
      if (action.key == "checkForUpdates") tooltip = action.help;
      QVERIFY2(action.key != "downloadInBrowser", "the own row offers no download");
    }
    QCOMPARE(tooltip, QString("Larkvale's own update check asks %1 and shows the new version's "
                              "page; it never installs itself")
                          .arg(UpdateActions::ownFeedHost()));
    const QString source = UpdateDetailText::sourceDescription(own);
    QCOMPARE(source, QString("Larkvale's own update feed at updates.example.org. Check for "
                             "Updates… shows the new version's page; Larkvale never installs "
                             "itself."));
    for (const QString& text : {kOwnUpdates, tooltip, source}) {
      QVERIFY2(text.contains("the new version's page"), qPrintable(text));
      QVERIFY2(text.contains("never installs itself"), qPrintable(text));
      QVERIFY2(!text.contains("installs the new") && !text.contains("install through"),
               qPrintable(text));
    }
    // Any other app's feed is still that app's own updater's business.
    QVERIFY(UpdateDetailText::sourceDescription(update("Nova")).contains("app's own updater"));
  }

  void fixedMarksOnlyBecomeMarkup() {
    QCOMPARE(viewblocks::richText("a **<b>** and `x<y` and ** open"),
             QString("a <b>&lt;b&gt;</b> and <code>x&lt;y</code> and ** open"));
  }
};

QTEST_MAIN(HelpViewTest)
#include "HelpViewTest.moc"
