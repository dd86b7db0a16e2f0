#include "Skirting/CloseWindowAction.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include "Skirting/CloseGuard.h"

namespace skirting {

CloseWindowAction CloseWindowAction::standard() {
  return {[] {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (QWidget* window = QApplication::activeWindow()) window->close();
  }};
}

CloseWindowAction CloseWindowAction::guarded() {
  return {[] { CloseGuard::shared().closeKeyWindow(); }};
}

}  // namespace skirting
