#include "app/screens/movingday/CarryResultCard.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/Card.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/TintLabel.h"

namespace larkvale::movingday {

QString CarryResultCard::title(const MovingManifest& manifest) {
  const size_t settings = manifest.settings.size();
  const size_t apps = manifest.apps.size();
  return settings == 1 ? tr("Copied 1 setting and a list of %1 apps").arg(apps)
                       : tr("Copied %1 settings and a list of %2 apps").arg(settings).arg(apps);
}

QString CarryResultCard::leftOutLabel(size_t count) {
  return count == 1 ? tr("1 item left out") : tr("%1 items left out").arg(count);
}

CarryResultCard::CarryResultCard(AppModel& model, const SettingsCopier::Result& result,
                                 QWidget* parent)
    : QWidget(parent) {
  auto* body = new QWidget;
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);

  auto* folderRow = new QHBoxLayout;
  auto* path = pathLabel(result.folder.native(), 1, ui::TextStyle::callout, body,
                         [&model](const std::string& real) { model.copyCommand(real); });
  path->setObjectName(QStringLiteral("resultFolder"));
  path->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* show = new QPushButton(tr("Show in File Manager"), body);
  show->setObjectName(QStringLiteral("showResultFolder"));
  connect(show, &QPushButton::clicked, this,
          [&model, where = result.folder] { model.reveal(where); });
  folderRow->addWidget(path, 1);
  folderRow->addWidget(show);
  column->addLayout(folderRow);

  if (model.carryOnInternalDisk()) {
    QWidget* warning = ui::symbolLine(QStringLiteral("internalDiskWarning"),
                                      QStringLiteral("exclamationmark.triangle"),
                                      tr("This folder is on this Mac's internal disk: move it to a "
                                         "drive or a cloud folder before you leave."),
                                      ui::Tint::orange, ui::TextStyle::body, body);
    column->addWidget(warning);
  }

  const auto& leftOut = result.manifest.leftOut;
  if (!leftOut.empty()) {
    auto* disclosure = new QToolButton(body);
    disclosure->setObjectName(QStringLiteral("leftOutDisclosure"));
    disclosure->setText(leftOutLabel(leftOut.size()));
    disclosure->setCheckable(true);
    disclosure->setChecked(false);
    disclosure->setAutoRaise(true);
    disclosure->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    disclosure->setArrowType(Qt::RightArrow);
    QStringList lines;
    for (size_t i = 0; i < leftOut.size() && i < listedLeftOut; ++i) {
      lines << shownPath(leftOut[i].path) + QStringLiteral(": ") + shownLine(leftOut[i].reason);
    }
    QLabel* list = textLabel(lines.join(QLatin1Char('\n')), ui::TextStyle::caption, body, true);
    list->setObjectName(QStringLiteral("leftOutList"));
    list->setWordWrap(true);
    makeSelectable(list);
    list->setVisible(false);
    connect(disclosure, &QToolButton::toggled, list, [disclosure, list](bool open) {
      disclosure->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
      list->setVisible(open);
    });
    column->addWidget(disclosure, 0, Qt::AlignLeft);
    column->addWidget(list);
  }

  auto* card = new ui::Card(title(result.manifest), QStringLiteral("checkmark.circle.fill"),
                            ui::Tint::green, body, this);
  card->setObjectName(QStringLiteral("carryResultCard"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(card);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
}

}  // namespace larkvale::movingday
