#include "app/shell/LarkvaleIcon.h"

static void initShellResources() {
  Q_INIT_RESOURCE(shell);  // the resources of a static library load on request
}

namespace larkvale {

QIcon larkvaleIcon() {
  initShellResources();
  return QIcon::fromTheme(QStringLiteral("larkvale"),
                          QIcon(QStringLiteral(":/larkvale/larkvale.svg")));
}

}  // namespace larkvale
