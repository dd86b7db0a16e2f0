#include "app/shell/StandardMenus.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace larkvale::StandardMenus {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("StandardMenus", text);
}

QMenu* fileMenu(QMenuBar& bar) {
  if (auto* menu = bar.findChild<QMenu*>(QString::fromLatin1(fileMenuName))) return menu;
  auto* menu = bar.addMenu(tr("File"));
  menu->setObjectName(QString::fromLatin1(fileMenuName));
  return menu;
}

}  // namespace

// STAND-IN for the shared menus module (Skirting's MenuBaseline): replace
// this body with MenuBaseline(CloseWindowAction::standard(), MenuHelp{…},
// helpItems).install(bar, saveGroup) once the module is in the build.
void install(QMenuBar& bar, QAction* saveGroup, ShellActions& shell) {
  QMenu* file = fileMenu(bar);
  auto* close = new QAction(tr("Close Window"), file);
  close->setObjectName(QStringLiteral("closeWindowAction"));
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  close->setShortcutContext(Qt::ApplicationShortcut);
  QObject::connect(close, &QAction::triggered, file, [] {
    if (QWidget* window = QApplication::activeWindow()) window->close();
  });
  file->insertAction(saveGroup, close);

  QMenu* help = bar.addMenu(tr("Help"));
  help->setObjectName(QStringLiteral("helpMenu"));
  QAction* open = help->addAction(tr("%1 Help").arg(QStringLiteral("Larkvale")));
  open->setObjectName(QStringLiteral("helpAction"));
  open->setShortcut(QKeySequence(Qt::Key_F1));
  open->setShortcutContext(Qt::ApplicationShortcut);
  QObject::connect(open, &QAction::triggered, help, [&shell] { shell.openHelp(); });
  QAction* more = help->addAction(tr("More Mac Apps\u2026"));
  more->setObjectName(QStringLiteral("moreAppsAction"));
  QObject::connect(more, &QAction::triggered, help, [&shell] { shell.showMoreApps(); });
}

}  // namespace larkvale::StandardMenus
