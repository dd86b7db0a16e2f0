#include "app/window/PaneStack.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "app/window/ScreenPlaceholder.h"

namespace larkvale {
namespace {

bool scrolls(const Pane pane) {
  return pane == Pane::history || pane == Pane::settings;
}

}  // namespace

PaneStack::PaneStack(AppModel& model, decltype(Screens::pane) factory, QWidget* parent)
    : QStackedWidget(parent), model_(model), factory_(std::move(factory)) {
  setObjectName(QStringLiteral("paneStack"));
  connect(&model_, &AppModel::paneChanged, this, &PaneStack::showPane);
  showPane();
}

void PaneStack::showPane() {
  const Pane pane = model_.pane();
  QWidget*& page = pages_[static_cast<size_t>(pane)];
  if (!page) {
    page = build(pane);
    addWidget(page);
  }
  setCurrentWidget(page);
}

QWidget* PaneStack::build(const Pane pane) {
  QWidget* host = nullptr;
  QWidget* parent = this;
  QScrollArea* scroll = nullptr;
  if (scrolls(pane)) {
    scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scroll-") + QLatin1String(Panes::rawValue(pane)));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    host = new QWidget(scroll);
    parent = host;
  }
  QWidget* screen = factory_ ? factory_(pane, model_, parent) : nullptr;
  if (!screen) screen = makePlaceholder(Panes::title(pane), parent);
  if (!scroll) return screen;
  auto* padded = new QVBoxLayout(host);
  padded->setContentsMargins(kScrollPadding, kScrollPadding, kScrollPadding, kScrollPadding);
  padded->addWidget(screen);
  padded->addStretch(1);
  scroll->setWidget(host);
  return scroll;
}

}  // namespace larkvale
