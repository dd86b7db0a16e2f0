#pragma once
// Shared by the window frame's tests: a model with no outside services, and
// check results built in memory.
#include <QDialog>
#include <string>

#include "app/model/AppModel.h"
#include "app/window/Screens.h"
#include "tests/support/Samples.h"

namespace larkvale::test {

// Screens whose factories build plain widgets and dialogs named after what
// they stand for, counting how often each pane is built.
struct TestScreens {
  std::map<Pane, int> built;

  Screens screens() {
    Screens s;
    s.pane = [this](Pane pane, AppModel&, QWidget* parent) {
      ++built[pane];
      auto* page = new QWidget(parent);
      page->setObjectName(QStringLiteral("screen-") + QLatin1String(Panes::rawValue(pane)));
      return page;
    };
    s.holdSheet = [](const AppUpdate& update, AppModel&, QWidget* parent) {
      auto* sheet = new QDialog(parent);
      sheet->setObjectName(QStringLiteral("holdSheet"));
      sheet->setWindowTitle(QString::fromStdString(update.app.name));
      return sheet;
    };
    s.safeSheet = [](AppModel&, QWidget* parent) {
      auto* sheet = new QDialog(parent);
      sheet->setObjectName(QStringLiteral("safeSheet"));
      return sheet;
    };
    return s;
  }
};

}  // namespace larkvale::test
