#include "app/shell/Shell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include "Skirting/CloseWindowAction.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/Activation.h"
#include "app/shell/HeapUse.h"
#include "app/shell/MainMenu.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/TrayIcon.h"
#include "app/ui/DrawnIconStyle.h"

namespace larkvale {

pennant::MoreAppsHooks catalogueHooks(AppModel& model) {
  pennant::MoreAppsHooks hooks = moreAppsHooks(model);
  hooks.windowMade = [](QWidget& window) { skirting::addCloseWindowKey(window); };
  return hooks;
}

Shell::Shell(AppModel& model, ShellParts parts, QObject* parent)
    : QObject(parent),
      model_(model),
      parts_(std::move(parts)),
      windows_(model, parts_.screens, [this](QMainWindow& window) {
        window.setWindowIcon(parts_.appIcon);
        MainMenu::install(*window.menuBar(), model_, *this);
      }) {}

Shell::~Shell() {
  delete about_.data();
}

void Shell::start() {
  ui::DrawnIconStyle::install();
  // Closing the last window leaves the app running in the tray; without a
  // tray the shell ends it itself (eventFilter), as Qt's own rule would
  // count dialogs and ignore minimised windows.
  QApplication::setQuitOnLastWindowClosed(false);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  qApp->installEventFilter(this);
  HeapUse::limitArenas();
  model_.loadState();
  model_.refreshPermissions();
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s == Qt::ApplicationActive) model_.refreshPermissions();
  });
  connect(qApp, &QCoreApplication::aboutToQuit, &model_, &AppModel::shutdown);
  // The app idles for hours between checks: what a check freed goes back to
  // the system once the lists and the tray have redrawn from its report.
  connect(&model_, &AppModel::checkingChanged, this, [this] {
    if (!model_.checking()) QTimer::singleShot(0, this, &HeapUse::releaseFreePages);
  });
  if (parts_.updater) parts_.updater->start();
  model_.start();
  if (parts_.trayAvailable || !parts_.whenTrayIconMayBeMade) {
    makeTrayIcon();
  } else {
    parts_.whenTrayIconMayBeMade([shell = QPointer<Shell>(this)] {
      if (shell) shell->makeTrayIcon();
    });
  }
  // A launch at log-in lives in the tray; with no tray it has nowhere else
  // to live but its window.
  if (!parts_.launchedAsLoginItem) {
    openMainWindow();
  } else {
    askTray([this](bool tray) {
      if (!tray) openMainWindow();
    });
  }
  // Only from here on: what start-up said shows in the window opened above,
  // or waits at its foot for the user to open it.
  connect(&model_, &AppModel::noted, this, &Shell::carryFailureOutOfView);
  connect(&model_, &AppModel::withdrawn, this, [this](const Notice& notice) {
    // The desktop's copy goes when the state it told of ends, whatever the
    // window shows by then, if it is still the one there.
    if (!parts_.notifications || carried_ != notice) return;
    carried_.reset();
    parts_.notifications->withdraw(kFailureNotification);
  });
}

void Shell::carryFailureOutOfView(const Notice& notice) {
  if (!notice.isError || windows_.mainInView()) return;
  if (!parts_.notifications) {
    openMainWindow();
    return;
  }
  carried_ = notice;
  parts_.notifications->post(kFailureNotification, "Larkvale", notice.text)
      .then(this, [this](bool shown) {
        if (!shown) openMainWindow();
      });
}

void Shell::makeTrayIcon() {
  if (tray_) return;
  tray_ = std::make_unique<TrayIcon>(model_, *this);
  tray_->show();
}

void Shell::askTray(std::function<void(bool)> answer) {
  if (parts_.trayAvailable) {
    answer(parts_.trayAvailable());
    return;
  }
  if (!parts_.askTray) {
    answer(false);
    return;
  }
  parts_.askTray([shell = QPointer<Shell>(this), answer = std::move(answer)](bool tray) {
    // The icon may have been made meanwhile: looked at when the answer comes.
    if (shell) answer(tray && shell->tray_);
  });
}

bool Shell::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close && !closeCheckPending_ && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->isWindow()) {
    // Looked at once the close is done (or refused).
    closeCheckPending_ = true;
    QTimer::singleShot(0, this, &Shell::endIfNothingLeftInView);
  }
  return false;
}

void Shell::endIfNothingLeftInView() {
  closeCheckPending_ = false;
  if (!WindowOpener::openWindows().isEmpty()) return;
  askTray([this](bool tray) {
    // A window opened while the answer was on its way keeps the app.
    if (!tray && WindowOpener::openWindows().isEmpty()) quit();
  });
}

void Shell::handleRequest(const QByteArray& request) {
  const auto [kind, token] = SingleInstance::parse(request);
  if (kind != SingleInstance::openRequest) return;
  const QList<QWidget*> visible = WindowOpener::visibleWindows();
  if (visible.isEmpty()) {
    windows_.openMain(token);
    return;
  }
  // With a window in view, the app only comes forward: the active window,
  // else the main window, else the first in view.
  QWidget* window = QApplication::activeWindow();
  if (!window || !visible.contains(window)) {
    window = visible.contains(windows_.mainWindow()) ? windows_.mainWindow() : visible.front();
  }
  Activation::bringForward(*window, token);
}

void Shell::notificationActivated(const QString& identifier) {
  if (identifier != QLatin1String(kFailureNotification)) model_.setPane(Pane::updates);
  openMainWindow();
}

void Shell::openMainWindow() {
  windows_.openMain();
}

void Shell::openHelp() {
  windows_.openHelp();
}

void Shell::showMoreApps() {
  if (parts_.showMoreApps) parts_.showMoreApps();
}

void Shell::showAbout() {
  if (!about_) {
    about_ = new AboutDialog(parts_.app, parts_.appIcon);
    about_->setAttribute(Qt::WA_DeleteOnClose);
    skirting::addCloseWindowKey(*about_);
  }
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void Shell::checkOwnUpdates() {
  if (parts_.updater) parts_.updater->checkForUpdates();
}

void Shell::quit() {
  QCoreApplication::quit();
}

}  // namespace larkvale
