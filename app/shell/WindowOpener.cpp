#include "app/shell/WindowOpener.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "Skirting/CloseWindowAction.h"
#include "app/shell/Activation.h"

#include "app/window/HelpWindow.h"
#include "app/window/MainWindow.h"

namespace larkvale {
namespace {

// Dialogs (the About panel, alerts, file dialogs) don't keep the app in view
// either: with only one of them up, a later launch brings the main window.
bool isOwnWindow(const QWidget& widget) {
  static const QStringList kNames = {QStringLiteral("main"), QStringLiteral("help"),
                                     QStringLiteral("moreAppsWindow")};
  return !qobject_cast<const QDialog*>(&widget) && kNames.contains(widget.objectName());
}

// Whole on the screen that shows `anchor` (the primary screen without one),
// centred there.
void place(QWidget& window, const QWidget* anchor) {
  QScreen* screen = anchor && anchor->isVisible() ? anchor->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  window.resize(window.size().boundedTo(room.size()));
  QRect frame(QPoint(), window.frameGeometry().size().boundedTo(room.size()));
  frame.moveCenter(room.center());
  window.move(frame.topLeft());
}

}  // namespace

WindowOpener::WindowOpener(AppModel& model, Screens screens,
                           std::function<void(QMainWindow&)> dress)
    : model_(model), screens_(std::move(screens)), dress_(std::move(dress)) {}

WindowOpener::~WindowOpener() {
  delete help_.data();
  delete main_.data();
}

QMainWindow& WindowOpener::makeMain() {
  auto* window = new MainWindow(model_, screens_);
  main_ = window;
  if (dress_) dress_(*window);
  return *window;
}

void WindowOpener::openMain(const QByteArray& token) {
  Activation::bringForward(main_ ? *main_ : makeMain(), token);
}

bool WindowOpener::mainInView() const {
  return main_ && main_->isVisible() && !main_->isMinimized();
}

void WindowOpener::openHelp() {
  if (!help_) {
    help_ = new HelpWindow(screens_);
    skirting::addCloseWindowKey(*help_);
  }
  if (!help_->isVisible()) place(*help_, main_);
  Activation::bringForward(*help_);
}

QList<QWidget*> WindowOpener::ownWindows(bool withMinimised) {
  QList<QWidget*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->isWindow() || !widget->isVisible()) continue;
    if (widget->isMinimized() && !withMinimised) continue;
    if (isOwnWindow(*widget)) windows.append(widget);
  }
  return windows;
}

QList<QWidget*> WindowOpener::visibleWindows() {
  return ownWindows(false);
}

QList<QWidget*> WindowOpener::openWindows() {
  return ownWindows(true);
}

}  // namespace larkvale
