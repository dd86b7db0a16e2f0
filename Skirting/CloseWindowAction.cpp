#include "Skirting/CloseWindowAction.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <QWidget>

#include "Skirting/CloseGuard.h"
#include "Skirting/Language.h"
#include "Skirting/MenuBaseline.h"

namespace skirting {

CloseWindowAction CloseWindowAction::standard() {
  return {[] {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (QWidget* window = QApplication::activeWindow()) window->close();
  }};
}

CloseWindowAction CloseWindowAction::guarded() {
  return {[] { CloseGuard::shared().closeKeyWindow(); }};
}

void addCloseWindowKey(QWidget& window, CloseWindowAction close) {
  const QString name = QLatin1String(MenuBaseline::closeActionName);
  if (window.findChild<QAction*>(name, Qt::FindDirectChildrenOnly)) return;
  auto* action = new QAction(closeWindowTitle(uiLanguage()), &window);
  action->setObjectName(name);
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, action, [run = std::move(close.run)] {
    if (run) run();
  });
  window.addAction(action);
}

}  // namespace skirting
