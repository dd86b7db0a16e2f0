// The tray's menu in the states a user meets (nothing waiting, a few updates,
// more than fit with their "and N more" line, a check running), each menu of
// the main window's bar opened under its title, and the About panel. The
// menus are the real ones over a model on the test fakes; a shot is a
// picture of the open menu, as a menu is a popup of its own and not part of
// any window.
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include "app/shell/AboutDialog.h"
#include "app/shell/LarkvaleIcon.h"
#include "app/shell/MainMenu.h"
#include "app/shell/TrayIcon.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tools/screenshots/Registry.h"
#include "tools/screenshots/ShotScenes.h"

namespace larkvale::screenshots {
namespace {

struct Scene {
  test::Fakes fakes;
  test::NoShellActions shell;
  std::unique_ptr<AppModel> model;
  Scene() : model(std::make_unique<AppModel>(fakes.services())) {}
};

AppUpdate sample(int i) {
  AppUpdate u = sampleUpdate(i, true);
  if (i == 2) u.latestVersion.reset();  // one source names no version
  return u;
}

void checked(Scene& scene, int waiting) {
  AppState state;
  CheckReport report{std::chrono::system_clock::now(), {}, true, {}};
  for (int i = 0; i < waiting; ++i) report.updates.push_back(sample(i));
  state.lastReport = report;
  scene.model->setState(state);
}

QLabel* picture(const QPixmap& pixmap) {
  auto* label = new QLabel;
  label->setPixmap(pixmap);
  label->setContentsMargins(0, 0, 0, 0);
  label->setFixedSize(pixmap.deviceIndependentSize().toSize());
  return label;
}

QPixmap grabOpen(QMenu& menu) {
  menu.adjustSize();
  menu.show();
  QCoreApplication::processEvents();
  QPixmap shot = menu.grab();
  menu.hide();
  return shot;
}

// `waiting` updates after a check; a negative count: a check of 12 apps
// running.
QWidget* tray(int waiting) {
  Scene scene;
  if (waiting >= 0) {
    checked(scene, waiting);
  } else {
    std::vector<InstalledApp> apps;
    for (int i = 0; i < 12; ++i) apps.push_back(sample(i).app);
    scene.fakes.scanner->setApps(apps);
    scene.fakes.checker->checkGate.arm();
    scene.model->check();
    scene.fakes.checker->checkGate.waitUntilHeld();
    test::waitUntil([&] { return scene.model->progress().total == 12; });
  }
  TrayIcon icon(*scene.model, scene.shell);
  emit icon.menu().aboutToShow();  // as the desktop asks before it shows the menu
  QLabel* shot = picture(grabOpen(icon.menu()));
  scene.fakes.checker->checkGate.open();
  scene.model->shutdown();
  return shot;
}

// The main window's bar with the menu named `objectName` open under its
// title, over a check with a waiting update selected.
QWidget* barMenu(const QString& objectName) {
  Scene scene;
  checked(scene, 3);
  scene.model->setSelection(QString::fromStdString(sample(0).app.path));
  QMainWindow window;
  MainMenu::install(*window.menuBar(), *scene.model, scene.shell);
  window.resize(640, 200);
  window.show();
  QCoreApplication::processEvents();

  QMenuBar& bar = *window.menuBar();
  auto* menu = bar.findChild<QMenu*>(objectName);
  if (!menu) return nullptr;
  bar.setActiveAction(menu->menuAction());  // highlights the title and opens the menu
  QCoreApplication::processEvents();
  QPixmap titles = bar.grab();
  QPixmap open = grabOpen(*menu);
  bar.setActiveAction(nullptr);

  int left = bar.actionGeometry(menu->menuAction()).left();
  QPixmap canvas(std::max(titles.width(), left + open.width()), titles.height() + open.height());
  canvas.fill(window.palette().color(QPalette::Window));
  QPainter painter(&canvas);
  painter.drawPixmap(0, 0, titles);
  painter.drawPixmap(left, titles.height(), open);
  painter.end();
  return picture(canvas);
}

// The tray icon at the sizes trays use, for counts from none to "99+", each
// shown at its real size and twice as large beside it.
QWidget* trayIcons() {
  const std::vector<int> counts = {0, 3, 12, 88, 150};
  const std::vector<int> sizes = {16, 22, 24, 32};
  constexpr int kCell = 112;
  QPixmap canvas(kCell * static_cast<int>(counts.size()), kCell * static_cast<int>(sizes.size()));
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  for (size_t c = 0; c < counts.size(); ++c) {
    const QIcon icon = TrayIcon::iconFor(counts[c]);
    for (size_t r = 0; r < sizes.size(); ++r) {
      const int size = sizes[r], x = kCell * static_cast<int>(c), y = kCell * static_cast<int>(r);
      const QPixmap real = icon.pixmap(size);
      painter.drawPixmap(x + 2, y + 2, real);
      painter.drawPixmap(QRect(x + size + 6, y + 2, size * 2, size * 2), real);
    }
  }
  painter.end();
  return picture(canvas);
}

const Registration trayShots("tray", [](const Add& add) {
  add("icons", [](const Context&) { return trayIcons(); }, {});
  add("up-to-date", [](const Context&) { return tray(0); }, {});
  add("few-updates", [](const Context&) { return tray(3); }, {});
  add("many-updates", [](const Context&) { return tray(23); }, {});
  add("checking", [](const Context&) { return tray(-1); }, {});
});

const Registration menuShots("menubar", [](const Add& add) {
  for (const char* name : {"appMenu", "fileMenu", "updatesMenu", "goMenu", "helpMenu"}) {
    QString objectName = QString::fromLatin1(name);
    add(objectName.chopped(4), [objectName](const Context&) { return barMenu(objectName); }, {});
  }
  // The About panel the app menu opens, its credits dimmed from the palette.
  add("about",
      [](const Context&) {
        return new AboutDialog(
            AppInfo{QStringLiteral("Larkvale"), std::nullopt, QStringLiteral("1.4.2")},
            larkvaleIcon());
      },
      {});
});

}  // namespace
}  // namespace larkvale::screenshots
