// The sidebar: its sections, the selection bound to AppModel::pane both ways,
// and the badges following the state.
#include <QSignalSpy>
#include <QTest>

#include "app/window/Sidebar.h"
#include "app/window/SidebarModel.h"
#include "tests/app/window/WindowFixtures.h"

using namespace larkvale;

class SidebarTest : public QObject {
  Q_OBJECT

  QPoint centre(Sidebar& sidebar, const QModelIndex& index) {
    return sidebar.visualRect(index).center();
  }
  std::optional<Pane> selectedPane(Sidebar& sidebar) {
    const QModelIndexList rows = sidebar.selectionModel()->selectedRows();
    if (rows.size() != 1) return std::nullopt;
    return sidebar.rows()->paneAt(rows[0]);
  }

 private slots:
  void listsThePanesInThreeSections() {
    AppModel model{AppServices{}};
    Sidebar sidebar(model);
    const SidebarModel& rows = *sidebar.rows();
    QStringList shown;
    for (int i = 0; i < rows.rowCount(); ++i) {
      const QModelIndex index = rows.index(i);
      const bool pane = rows.flags(index).testFlag(Qt::ItemIsSelectable);
      QCOMPARE(rows.paneAt(index).has_value(), pane);
      shown << (pane ? "" : "# ") + index.data().toString();
    }
    QCOMPARE(shown, QStringList({"# Updates", "Updates", "All Apps", "Skipped & Held", "History",
                                 "# Moving day", "Inventory", "Restore Checklist", "Copy Settings",
                                 "New Mac Check", "# Larkvale", "Settings"}));
  }

  void selectionAndPaneFollowEachOther() {
    AppModel model{AppServices{}};
    Sidebar sidebar(model);
    sidebar.resize(210, 500);
    sidebar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sidebar));
    QCOMPARE(selectedPane(sidebar), Pane::updates);
    QSignalSpy changes(&model, &AppModel::paneChanged);

    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {},
                      centre(sidebar, sidebar.rows()->indexOf(Pane::inventory)));
    QCOMPARE(model.pane(), Pane::inventory);
    QCOMPARE(changes.size(), 1);

    // Choosing the chosen row again, a header, or Ctrl-clicking the chosen
    // row away changes nothing and leaves it selected.
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {},
                      centre(sidebar, sidebar.rows()->indexOf(Pane::inventory)));
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {},
                      centre(sidebar, sidebar.rows()->index(0)));
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      centre(sidebar, sidebar.rows()->indexOf(Pane::inventory)));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(selectedPane(sidebar), Pane::inventory);

    // A change from elsewhere moves the selection.
    model.setPane(Pane::settings);
    QCOMPARE(selectedPane(sidebar), Pane::settings);
    QCOMPARE(changes.size(), 2);

    // The keyboard steps over section headers.
    model.setPane(Pane::history);
    sidebar.setFocus();
    QTest::keyClick(&sidebar, Qt::Key_Down);
    QCOMPARE(model.pane(), Pane::inventory);
    QTest::keyClick(&sidebar, Qt::Key_Up);
    QCOMPARE(model.pane(), Pane::history);
  }

  void badgesFollowTheState() {
    AppModel model{AppServices{}};
    Sidebar sidebar(model);
    const SidebarModel& rows = *sidebar.rows();
    auto badge = [&](Pane pane) {
      return rows.indexOf(pane).data(SidebarModel::badgeRole).toInt();
    };
    QSignalSpy redraws(&rows, &QAbstractItemModel::dataChanged);
    AppState state =
        test::stateWith({test::update("Alpha"), test::update("Beta"), test::update("Gamma"),
                         test::update("Delta"), test::update("Epsilon", UpdateStatus::upToDate())});
    state.skipped["com.example.Beta"] = "2.0";
    state.holds["com.example.Gamma"] = Hold{"Waits for plug-ins", Date{}};
    model.setState(state);
    QCOMPARE(redraws.size(), 1);
    QCOMPARE(badge(Pane::updates), 2);
    QCOMPARE(badge(Pane::held), 2);
    QCOMPARE(badge(Pane::allApps), 0);

    model.mutateState([](AppState& s) { s.holds.clear(); });
    QCOMPARE(redraws.size(), 2);
    QCOMPARE(badge(Pane::updates), 3);
    QCOMPARE(badge(Pane::held), 1);

    // Rows with and without badges draw.
    sidebar.resize(210, 500);
    QVERIFY(!sidebar.grab().isNull());
  }
};

QTEST_MAIN(SidebarTest)
#include "SidebarTest.moc"
