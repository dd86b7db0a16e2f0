#pragma once
// The update screens' tests: a model over the fakes of every service, in
// fresh folders, and builders of updates and reports.
#include <QAbstractButton>
#include <QTest>
#include <QWidget>

#include "tests/app/AppRig.h"

namespace larkvale::test {

// The objectNames of the widgets, in order.
template <typename T>
QStringList namesOf(const QList<T*>& widgets) {
  QStringList out;
  for (T* widget : widgets) out << widget->objectName();
  return out;
}

}  // namespace larkvale::test
