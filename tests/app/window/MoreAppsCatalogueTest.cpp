// Larkvale's catalogue window and credit footer.
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "platform/AppFolders.h"
#include "tests/support/TempDir.h"

using namespace larkvale;

class MoreAppsCatalogueTest : public QObject {
  Q_OBJECT

  larkvale::test::TempDir temp;

 private slots:
  // The footer's button and every later call show the one window, where the
  // user left it, over the shipped catalogue without Larkvale itself.
  void oneWindowShownAgainWhereItWas() {
    pennant::MoreAppsConfig config = moreAppsConfig();
    config.allowsNetwork = false;
    pennant::MoreAppsCatalogue catalogue(config,
                                         pennant::MoreAppsLoader{.cacheDirectory = temp.path()});
    std::unique_ptr<QWidget> footer(makeMoreAppsFooter(catalogue));
    QCOMPARE(footer->findChild<QLabel*>("moreAppsCreditText")->text(),
             QString("Larkvale is made by Quenby, who also make other small Mac apps."));
    auto* button = footer->findChild<QPushButton*>("moreAppsButton");
    QCOMPARE(button->text(), QString("More Mac Apps\u2026"));
    QCOMPARE(catalogue.window(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    pennant::MoreAppsWindow* window = catalogue.window();
    QVERIFY(window && window->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(window));
    pennant::MoreAppsListView* view = window->content();
    window->move(window->pos() + QPoint(15, 15));
    QPoint moved = window->pos();
    window->close();
    catalogue.showMoreAppsWindow();
    QCOMPARE(catalogue.window(), window);
    QCOMPARE(window->content(), view);
    QCOMPARE(window->pos(), moved);
    QVERIFY(view->list()->apps().size() >= 1);
    for (const auto& entry : view->list()->apps()) QVERIFY(entry.id != "larkvale");
  }

  // Larkvale is left out by its entry id and by its bundle identifier, the
  // one that also names its cache folder, where the catalogue's cache lies.
  void leavesItselfOutAndCachesInItsOwnFolder() {
    const pennant::MoreAppsConfig& config = moreAppsConfig();
    QVERIFY(config.bundleID);
    const UserFolders user = UserFolders::underHome(temp.path());
    QCOMPARE(pennant::MoreAppsLoader::cacheDirectoryIn(user.caches, *config.bundleID),
             AppFolders(user).catalogue);

    auto entry = [](std::string id, std::string bundleID) {
      pennant::MoreAppsEntry e;
      e.id = id;
      e.name = id;
      e.url = "https://maker.example/mac/" + id;
      e.bundleId = std::move(bundleID);
      return e;
    };
    pennant::MoreAppsList list(config, pennant::MoreAppsLoader{}, nullptr);
    const auto kept = list.filter({entry("larkvale", "com.maker.larkvale"),
                                   entry("larkvale-next", "com.tarn4820.Larkvale"),
                                   entry("tidemark", "com.maker.tidemark")});
    QCOMPARE(kept.size(), size_t(1));
    QCOMPARE(kept[0].id, std::string("tidemark"));
  }
};

QTEST_MAIN(MoreAppsCatalogueTest)
#include "MoreAppsCatalogueTest.moc"
