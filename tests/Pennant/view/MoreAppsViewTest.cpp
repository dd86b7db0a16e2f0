// The catalogue on screen: its rows, texts and links, the window and the
// credit footer. Links are recorded, never opened.
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include "Pennant/view/MoreAppsFooter.h"
#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListModel.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsRowDelegate.h"
#include "Pennant/view/MoreAppsTexts.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "tests/Pennant/FeedSamples.h"
#include "tests/support/TempDir.h"

using namespace pennant;
using test::entry;

namespace {

struct Fixture {
  larkvale::test::TempDir temp;
  QList<QUrl> opened;
  MoreAppsList list;

  explicit Fixture(bool isDirect, std::string utm = "larkvale")
      : list(MoreAppsConfig("larkvale", utm, isDirect, std::nullopt, false),
             MoreAppsLoader{.cacheDirectory = temp.path(), .bundled = {}}, nullptr) {}

  MoreAppsHooks hooks() {
    MoreAppsHooks hooks;
    hooks.openURL = [this](const QUrl& url) { opened << url; };
    return hooks;
  }
};

QStringList column(const QAbstractItemModel& model, int role) {
  QStringList out;
  for (int row = 0; row < model.rowCount(); ++row) out << model.index(row, 0).data(role).toString();
  return out;
}

}  // namespace

class MoreAppsViewTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsOfEachBuild() {
    Fixture f(true);
    f.list.setApps({entry("site", "https://maker.example/mac/site"),
                    entry("store", "https://apps.apple.com/app/id2"),
                    entry("shop", "https://maker.store.example/shop"), entry("odd", "not a link")},
                   MoreAppsSource::bundled);
    MoreAppsListModel model(&f.list, "en");

    QCOMPARE(f.list.apps().size(), size_t{4});  // the odd one stays listed, without a row
    QCOMPARE(column(model, Qt::DisplayRole), (QStringList{"Name site", "Name store", "Name shop",
                                                          "See all Mac apps on maker.example"}));
    QCOMPARE(column(model, Qt::AccessibleTextRole),
             (QStringList{"Opens Name site on maker.example", "Opens Name store in the App Store",
                          "Opens Name shop in your browser", "See all Mac apps on maker.example"}));
    QCOMPARE(column(model, MoreAppsListModel::UrlRole),
             (QStringList{"https://maker.example/mac/site?utm_source=larkvale&utm_medium=mac-app&"
                          "utm_campaign=more-apps",
                          "https://apps.apple.com/app/id2", "https://maker.store.example/shop",
                          "https://maker.example/mac?utm_source=larkvale&utm_medium=mac-app&"
                          "utm_campaign=more-apps&utm_content=all"}));
    QCOMPARE(moreAppsFooterText(true, "en"),
             QString("App Store apps open in the App Store; the others open on maker.example."));

    // An App Store build lists the same apps' store links only, without the closing row.
    Fixture store(false);
    store.list.setApps(f.list.apps(), MoreAppsSource::bundled);
    QCOMPARE(column(MoreAppsListModel(&store.list, "en"), Qt::DisplayRole),
             QStringList{"Name store"});
    MoreAppsListView view(&store.list, store.hooks(), "en");
    QCOMPARE(view.findChild<QLabel*>("moreAppsFooter")->text(),
             QString("Each one opens in the App Store."));
  }

  void spanishNamesAndTexts() {
    Fixture f(true);
    MoreAppsEntry translated = entry("ledger", "https://maker.example/mac/ledger");
    translated.localized = std::map<std::string, MoreAppsEntry::Localized>{
        {"es", {std::string("Libro"), std::string("Cuentas claras.")}}};
    f.list.setApps({translated, entry("plain", "https://apps.apple.com/app/id3")},
                   MoreAppsSource::bundled);
    MoreAppsListModel model(&f.list, "es");
    QCOMPARE(column(model, Qt::DisplayRole),
             (QStringList{"Libro", "Name plain", "Ver todas las apps para Mac en maker.example"}));
    QCOMPARE(column(model, Qt::AccessibleTextRole).mid(0, 2),
             (QStringList{"Abre Libro en maker.example", "Abre Name plain en la App Store"}));
    QCOMPARE(model.index(0, 0).data(Qt::AccessibleDescriptionRole).toString(),
             QString("Cuentas claras."));
    QCOMPARE(moreAppsTitle("es"), QString("Más apps para Mac"));

    // Spanish only in an application that ships Spanish itself; this
    // program, like the app, ships English only.
    const QStringList spanishUser{"es-ES", "es"};
    QCOMPARE(chooseMoreAppsLanguage(moreAppsApplicationSources({"en", "es"}, spanishUser)),
             QString("es"));
    QCOMPARE(chooseMoreAppsLanguage(moreAppsApplicationSources({"en"}, spanishUser)),
             QString("en"));
    QCOMPARE(moreAppsApplicationLocalizations(), QStringList{"en"});
  }

  void seeAllFallsBackToMacApp() {
    QCOMPARE(seeAllMacAppsURL("-lark").query(),
             QString("utm_source=mac-app&utm_medium=mac-app&utm_campaign=more-apps&"
                     "utm_content=all"));
  }

  void unknownLooksFallBack() {
    MoreAppsRowDelegate delegate(MoreAppsLook::bundledSymbol);
    QCOMPARE(delegate.symbolFor("no.such.symbol").pixmap(16).toImage(),
             MoreAppsLook::bundledSymbol("app.fill").pixmap(16).toImage());
    QPalette palette;
    QCOMPARE(MoreAppsLook::tintColor("magenta", palette), MoreAppsLook::tintColor("blue", palette));
    QVERIFY(MoreAppsLook::tintColor("red", palette) != MoreAppsLook::tintColor("blue", palette));
  }

  void choosingARowOpensItsLink() {
    Fixture f(true);
    f.list.setApps({entry("store", "https://apps.apple.com/app/id2")}, MoreAppsSource::bundled);
    MoreAppsListView view(&f.list, f.hooks(), "en");
    view.resize(440, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto* rows = view.findChild<QListView*>("moreAppsList");
    QRect first = rows->visualRect(rows->model()->index(0, 0));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, first.center());
    rows->setCurrentIndex(rows->model()->index(1, 0));
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(f.opened,
             (QList<QUrl>{QUrl("https://apps.apple.com/app/id2"), seeAllMacAppsURL("larkvale")}));
  }

  // Showing the window again where it was, and the footer's button, are the
  // app's catalogue test; here the window's fixed size and the credit's plain text.
  void windowIsFixedAndTheCreditPlain() {
    Fixture f(true);
    MoreAppsWindow window(new MoreAppsListView(&f.list, f.hooks(), "en"));
    QCOMPARE(window.size(), QSize(440, 400));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.windowTitle(), moreAppsTitle(moreAppsUILanguage()));
    QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
    MoreAppsFooter footer("<b>Credit</b>", "More Mac Apps…", [] {});
    QCOMPARE(footer.findChild<QLabel*>("moreAppsCreditText")->textFormat(), Qt::PlainText);
  }

  // A view made from the host's config alone caches in the folder named after
  // the host's bundle identifier, below the user's caches (a temporary one).
  void configOnlyViewCachesInTheDefaultFolder() {
    larkvale::test::TempDir caches;
    const QByteArray before = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(caches.path().string()));
    caches.write("com.example.host/MoreApps/more-apps.json", test::validFeed(3));
    MoreAppsListView view(MoreAppsConfig("host", std::nullopt, true, "com.example.host", false),
                          nullptr);
    before.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", before);
    QCOMPARE(view.list()->loader().cacheDirectory, caches / "com.example.host/MoreApps");
    QCOMPARE(view.list()->source(), MoreAppsSource::cache);
    QCOMPARE(view.list()->apps().size(), size_t{3});
  }
};

QTEST_MAIN(MoreAppsViewTest)
#include "MoreAppsViewTest.moc"
