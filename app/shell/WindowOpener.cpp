#include "app/shell/WindowOpener.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

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

// STAND-IN for the main window frame (app/ui/MainWindow): once it is in the
// build this becomes `new MainWindow(model_, screens_)`.
QMainWindow& WindowOpener::makeMain() {
  auto* window = new QMainWindow;
  window->setObjectName(QStringLiteral("main"));
  window->setWindowTitle(QStringLiteral("Larkvale"));
  window->setMinimumSize(900, 600);
  window->resize(1120, 740);
  QWidget* content = screens_.pane ? screens_.pane(model_.pane(), model_, window) : nullptr;
  window->setCentralWidget(content ? content : new QWidget(window));
  main_ = window;
  if (dress_) dress_(*window);
  return *window;
}

void WindowOpener::openMain() {
  bringForward(main_ ? *main_ : makeMain());
}

// STAND-IN for the help window (app/ui/HelpWindow).
void WindowOpener::openHelp() {
  if (!help_) {
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("help"));
    window->setWindowTitle(QCoreApplication::translate("WindowOpener", "Larkvale Help"));
    window->resize(760, 580);
    auto* layout = new QVBoxLayout(window);
    QWidget* content = screens_.help ? screens_.help(window) : nullptr;
    layout->addWidget(content ? content : new QLabel(window));
    help_ = window;
  }
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
