#include "app/shell/StandardMenus.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "Skirting/MenuBaseline.h"

namespace larkvale::StandardMenus {

static_assert(std::string_view(fileMenuName) == skirting::MenuBaseline::fileMenuName);

void install(QMenuBar& bar, QAction* saveGroup, ShellActions& shell) {
  skirting::MenuHelp help(QStringLiteral("Larkvale"), QKeySequence(Qt::Key_F1),
                          [&shell] { shell.openHelp(); });
  skirting::MenuBaseline baseline(
      skirting::CloseWindowAction::standard(), help, [&shell](QMenu& menu) {
        QAction* more =
            menu.addAction(QCoreApplication::translate("StandardMenus", "More Mac Apps\u2026"));
        more->setObjectName(QStringLiteral("moreAppsAction"));
        QObject::connect(more, &QAction::triggered, &menu, [&shell] { shell.showMoreApps(); });
      });
  baseline.install(bar, saveGroup);
}

}  // namespace larkvale::StandardMenus
