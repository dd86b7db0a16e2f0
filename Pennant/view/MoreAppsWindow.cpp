#include "Pennant/view/MoreAppsWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsTexts.h"

namespace pennant {

MoreAppsWindow::MoreAppsWindow(MoreAppsListView* content, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      content_(content) {
  setObjectName(QStringLiteral("moreAppsWindow"));
  setWindowTitle(moreAppsTitle(moreAppsUILanguage()));
  setFixedSize(width, height);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content_);
}

void MoreAppsWindow::present() {
  if (!placed_) {
    placed_ = true;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
      QRect frame(QPoint(), size());
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  show();
  raise();
  activateWindow();
}

MoreAppsCatalogue::MoreAppsCatalogue(MoreAppsConfig config, MoreAppsLoader loader,
                                     MoreAppsHooks hooks, QObject* parent)
    : QObject(parent),
      config_(std::move(config)),
      loader_(std::move(loader)),
      hooks_(std::move(hooks)),
      lastResult_(std::make_shared<MoreAppsLastResult>()) {}

MoreAppsCatalogue::~MoreAppsCatalogue() = default;

void MoreAppsCatalogue::showMoreAppsWindow() {
  if (!window_) {
    auto* list = new MoreAppsList(config_, loader_, lastResult_);
    auto* view = new MoreAppsListView(list, hooks_);
    list->setParent(view);
    window_ = std::make_unique<MoreAppsWindow>(view);
    if (hooks_.windowMade) hooks_.windowMade(*window_);
  }
  window_->present();
}

}  // namespace pennant
