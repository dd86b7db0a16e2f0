#include "Skirting/MenuBaseline.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QThread>

#include "Skirting/Language.h"

namespace skirting {

namespace {

QMenu* findMenu(QMenuBar& bar, const char* name) {
  return bar.findChild<QMenu*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

// The bar's menu of that name, or a new one titled in the module's language.
QMenu* menuNamed(QMenuBar& bar, const char* name, const char* titleKey) {
  if (QMenu* menu = findMenu(bar, name)) return menu;
  auto* menu = new QMenu(localized(titleKey, uiLanguage()), &bar);
  menu->setObjectName(QLatin1String(name));
  bar.addMenu(menu);
  return menu;
}

void onMainThread() {
  Q_ASSERT(QThread::currentThread() == qApp->thread());
}

}  // namespace

MenuHelp::MenuHelp(QString appName, std::optional<QKeySequence> shortcut,
                   std::function<void()> action)
    : appName(std::move(appName)), shortcut(std::move(shortcut)), action(std::move(action)) {}

MenuHelp::MenuHelp(QString appName, const QUrl& url)
    : MenuHelp(std::move(appName), std::nullopt, [url] { QDesktopServices::openUrl(url); }) {}

MenuBaseline::MenuBaseline(CloseWindowAction close, std::optional<MenuHelp> help)
    : close_(std::move(close)), help_(std::move(help)) {
  onMainThread();
}

MenuBaseline::MenuBaseline(CloseWindowAction close, MenuHelp help,
                           std::function<void(QMenu&)> helpItems)
    : close_(std::move(close)), help_(std::move(help)), helpItems_(std::move(helpItems)) {
  onMainThread();
}

void MenuBaseline::install(QMenuBar& bar, QAction* saveGroup) const {
  onMainThread();
  installClose(bar, saveGroup);
  if (help_) installHelp(bar);
}

void MenuBaseline::installClose(QMenuBar& bar, QAction* saveGroup) const {
  QMenu* file = menuNamed(bar, fileMenuName, QT_TRANSLATE_NOOP("Skirting", "&File"));
  delete file->findChild<QAction*>(QLatin1String(closeActionName));

  auto* action = new QAction(closeWindowTitle(uiLanguage()), file);
  action->setObjectName(QLatin1String(closeActionName));
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  // The bar's own window only: every other window of the app carries its own
  // key (addCloseWindowKey), and two actions on one key in one window would
  // leave the key ambiguous and doing nothing.
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, action, [run = close_.run] {
    onMainThread();
    if (run) run();
  });
  bool inFile = saveGroup && file->actions().contains(saveGroup);
  file->insertAction(inFile ? saveGroup : nullptr, action);
}

void MenuBaseline::installHelp(QMenuBar& bar) const {
  QMenu* menu = menuNamed(bar, helpMenuName, QT_TRANSLATE_NOOP("Skirting", "&Help"));
  for (QAction* old : menu->actions()) {
    menu->removeAction(old);
    if (old->parent() == menu) delete old;
  }

  auto* item = new QAction(helpTitle(help_->appName, uiLanguage()), menu);
  item->setObjectName(QLatin1String(helpActionName));
  if (help_->shortcut) {
    item->setShortcut(*help_->shortcut);
    item->setShortcutContext(Qt::ApplicationShortcut);
  }
  QObject::connect(item, &QAction::triggered, item, [action = help_->action] {
    onMainThread();
    if (action) action();
  });
  menu->addAction(item);
  if (helpItems_) helpItems_(*menu);
}

}  // namespace skirting
