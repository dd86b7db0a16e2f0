#include "app/desktop/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace larkvale {

void QtClipboard::setText(const QString& text) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

}  // namespace larkvale
