#include "app/shell/WindowOpener.h"

#include <QApplication>
#include <QDialog>

#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"

namespace larkvale {
namespace {

void bringForward(QWidget& window) {
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
  window.activateWindow();
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

void WindowOpener::openMain() {
  bringForward(main_ ? *main_ : makeMain());
}

void WindowOpener::openHelp() {
  if (!help_) help_ = new HelpWindow(screens_);
  bringForward(*help_);
}

bool WindowOpener::anyWindowVisible() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->isWindow() || !widget->isVisible() || widget->isMinimized()) continue;
    if (qobject_cast<QDialog*>(widget)) continue;
    Qt::WindowType type = widget->windowType();
    if (type == Qt::Window) return true;
  }
  return false;
}

}  // namespace larkvale
