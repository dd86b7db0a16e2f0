#include "app/window/HelpWindow.h"

#include <QVBoxLayout>

#include "app/window/ScreenPlaceholder.h"

namespace larkvale {

HelpWindow::HelpWindow(const Screens& screens, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("help"));
  setWindowTitle(tr("Larkvale Help"));
  resize(kDefaultSize);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  QWidget* content = screens.help ? screens.help(this) : nullptr;
  layout->addWidget(content ? content : makePlaceholder(tr("Larkvale Help"), this));
}

}  // namespace larkvale
