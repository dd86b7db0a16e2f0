#include "app/screens/movingday/InventoryDetail.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/AppIcon.h"
#include "app/ui/Card.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/EmptyState.h"
#include "app/ui/PlainTip.h"
#include "app/ui/SymbolButton.h"
#include "app/ui/SymbolView.h"
#include "app/ui/TintLabel.h"

namespace larkvale::movingday {

InventoryDetail::InventoryDetail(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      pages_(new QStackedLayout(this)),
      empty_(contentUnavailable(
          QStringLiteral("shippingbox"), tr("Select an app"),
          tr("Its settings folders, licence notes and how to install it again show here."), this)),
      scroll_(new QScrollArea(this)) {
  setObjectName(QStringLiteral("inventoryDetail"));
  empty_->setObjectName(QStringLiteral("inventoryDetailEmpty"));
  scroll_->setObjectName(QStringLiteral("inventoryDetailScroll"));
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  pages_->addWidget(empty_);
  pages_->addWidget(scroll_);
  connect(&model_, &AppModel::inventoryChanged, this, &InventoryDetail::refresh);
  connect(&model_, &AppModel::inventorySelectionChanged, this, &InventoryDetail::refresh);
  connect(&model_, &AppModel::searchChanged, this, &InventoryDetail::refresh);
  refresh();
}

void InventoryDetail::refresh() {
  // A detail whose row the search hides goes with the row; it comes back
  // with it, as the selection stays.
  std::optional<InventoryEntry> entry = model_.selectedInventoryEntry();
  if (!entry || !nameMatches(entry->app.name, model_.search())) {
    pages_->setCurrentWidget(empty_);
    delete scroll_->takeWidget();
    return;
  }
  QWidget* content = makeContent(*entry);
  delete scroll_->takeWidget();
  scroll_->setWidget(content);
  pages_->setCurrentWidget(scroll_);
}

QWidget* InventoryDetail::makeContent(const InventoryEntry& entry) {
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("inventoryDetailContent"));
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(18, 18, 18, 18);
  layout->setSpacing(12);

  auto* titleRow = new QHBoxLayout;
  titleRow->setSpacing(12);
  titleRow->addWidget(new ui::AppIcon(qs(entry.app.path), 40, content), 0, Qt::AlignVCenter);
  auto* titles = new QVBoxLayout;
  titles->setSpacing(2);
  // A long name wraps to two lines and is cut off there.
  auto* name = new ui::ClampedLabel(shownLine(entry.app.name), 2, content);
  name->setObjectName(QStringLiteral("detailName"));
  name->setFont(ui::Fonts::font(ui::TextStyle::title3, name->font(), QFont::Bold));
  QLabel* how = textLabel(
      shownLine(entry.app.version) + QStringLiteral(" · ") + shownLine(entry.installHow()),
      ui::TextStyle::body, content, true);
  how->setObjectName(QStringLiteral("detailInstallHow"));
  how->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  makeSelectable(how);
  titles->addWidget(name);
  titles->addWidget(how);
  titleRow->addLayout(titles, 1);
  layout->addLayout(titleRow);

  auto* cards = new QHBoxLayout;
  cards->setSpacing(12);
  cards->addWidget(makeSettingsCard(entry, content), 1, Qt::AlignTop);
  cards->addWidget(makeLicenceCard(entry, content), 1, Qt::AlignTop);
  layout->addLayout(cards);

  if (entry.tip) {
    QWidget* tip =
        ui::symbolLine(QStringLiteral("detailTip"), QStringLiteral("lightbulb"),
                       shownLine(*entry.tip), ui::Tint::secondary, ui::TextStyle::body, content);
    layout->addWidget(tip);
  }
  layout->addStretch(1);
  return content;
}

QWidget* InventoryDetail::makeSettingsCard(const InventoryEntry& entry, QWidget* parent) {
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  const auto copyPath = [this](const std::string& path) { model_.copyCommand(path); };
  if (entry.settings.empty() && !entry.container) {
    layout->addWidget(textLabel(tr("Nothing found in Preferences or Application Support."),
                                ui::TextStyle::body, body, true));
  }
  for (const std::string& path : entry.settings) {
    auto* row = new QHBoxLayout;
    auto* text = pathLabel(path, 2, ui::TextStyle::callout, body, copyPath);
    text->setObjectName(QStringLiteral("settingsPath"));
    auto* reveal = new QToolButton(body);
    reveal->setObjectName(QStringLiteral("revealSetting"));
    reveal->setAutoRaise(true);
    ui::setButtonSymbol(reveal, QStringLiteral("arrow.right.circle"));
    const QString label = tr("Show %1 in File Manager").arg(shownPath(path));
    reveal->setAccessibleName(label);
    reveal->setToolTip(ui::plainTip(label));
    connect(reveal, &QToolButton::clicked, this, [this, path] { model_.revealSetting(path); });
    row->addWidget(text, 1);
    row->addWidget(reveal, 0, Qt::AlignTop);
    layout->addLayout(row);
  }
  if (entry.container) {
    QLabel* sandbox = textLabel(
        tr("Sandboxed: settings live in %1. Larkvale doesn't look inside containers, and they "
           "don't move reliably.")
            .arg(shownPath(*entry.container)),
        ui::TextStyle::callout, body, true);
    sandbox->setObjectName(QStringLiteral("sandboxNote"));
    sandbox->setWordWrap(true);
    layout->addWidget(sandbox);
  }
  auto* card = new ui::Card(tr("Settings worth carrying"), QStringLiteral("folder"), ui::Tint::teal,
                            body, parent);
  card->setObjectName(QStringLiteral("settingsCard"));
  return card;
}

QWidget* InventoryDetail::makeLicenceCard(const InventoryEntry& entry, QWidget* parent) {
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  QLabel* licence = textLabel(shownLine(entry.licence), ui::TextStyle::body, body);
  licence->setObjectName(QStringLiteral("licenceNote"));
  licence->setWordWrap(true);
  layout->addWidget(licence);
  const auto copyPath = [this](const std::string& path) { model_.copyCommand(path); };
  for (const std::string& file : entry.licenceFiles) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    auto* path = pathLabel(file, 2, ui::TextStyle::callout, body, copyPath);
    path->setObjectName(QStringLiteral("licenceFile"));
    const int size = QFontMetrics(path->font()).height();
    row->addWidget(
        new ui::SymbolView(QStringLiteral("doc.badge.ellipsis"), ui::Tint::secondary, size, body),
        0, Qt::AlignTop);
    row->addWidget(path, 1);
    layout->addLayout(row);
  }
  if (!entry.licenceFiles.empty()) {
    QLabel* caption =
        textLabel(tr("These file names look like a licence (Larkvale never opens them)."),
                  ui::TextStyle::caption, body, true);
    caption->setObjectName(QStringLiteral("licenceCaption"));
    caption->setWordWrap(true);
    layout->addWidget(caption);
  }
  auto* card = new ui::Card(tr("Licence and sign-in"), QStringLiteral("key"), ui::Tint::orange,
                            body, parent);
  card->setObjectName(QStringLiteral("licenceCard"));
  return card;
}

}  // namespace larkvale::movingday
