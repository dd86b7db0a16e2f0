#include "app/shell/StandardMenus.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "Skirting/MenuBaseline.h"

namespace larkvale::StandardMenus {

static_assert(std::string_view(fileMenuName) == skirting::MenuBaseline::fileMenuName);

void install(QMenuBar& bar, QAction* saveGroup, ShellActions& shell) {
  skirting::MenuHelp help(QStringLiteral("Larkvale"), QKeySequence(Qt::CTRL | Qt::Key_Question),
                          [&shell] { shell.openHelp(); });
  skirting::MenuBaseline baseline(
      skirting::CloseWindowAction::standard(), help, [&shell](QMenu& menu) {
        QAction* more =
            menu.addAction(QCoreApplication::translate("StandardMenus", "More Mac Apps\u2026"));
        more->setObjectName(QStringLiteral("moreAppsAction"));
        QObject::connect(more, &QAction::triggered, &menu, [&shell] { shell.showMoreApps(); });
      });
  baseline.install(bar, saveGroup);
  // F1 too, the key the desktop's other apps open their help with.
  if (auto* item =
          bar.findChild<QAction*>(QString::fromLatin1(skirting::MenuBaseline::helpActionName))) {
    item->setShortcuts({item->shortcut(), QKeySequence(Qt::Key_F1)});
  }
}

}  // namespace larkvale::StandardMenus
