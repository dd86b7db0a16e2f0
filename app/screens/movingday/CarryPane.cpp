#include "app/screens/movingday/CarryPane.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/CarryPickModel.h"
#include "app/screens/movingday/CarryResultCard.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/movingday/NoAppsFound.h"
#include "app/screens/movingday/StatsRow.h"
#include "app/ui/SymbolButton.h"
#include "app/ui/TintLabel.h"

namespace larkvale::movingday {
namespace {

constexpr int kNameWidth = 170;
constexpr int kSizeWidth = 80;

// The path (monospaced, shortened in the middle) and the size (equal-width
// digits) in the secondary colour; rows padded 10 by 6.
class PickDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    return {size.width() + 20, std::max(size.height(), option.fontMetrics.height()) + 12};
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == CarryPickModel::nameColumn) return;
    const QColor dim = ui::Tints::secondaryText(option->palette);
    option->palette.setColor(QPalette::Text, dim);
    option->palette.setColor(QPalette::HighlightedText, dim);
    if (index.column() == CarryPickModel::pathColumn) {
      option->font = monoFont(ui::TextStyle::callout, option->font);
      option->fontMetrics = QFontMetrics(option->font);
      option->textElideMode = Qt::ElideMiddle;
    } else {
      option->font = ui::Fonts::equalWidthDigits(option->font);
      option->fontMetrics = QFontMetrics(option->font);
    }
  }
};

// The list's rounded box: a faint fill, the odd rows striped and a faint
// border inside its edge over them. Return flips the current row's tick as
// Space does.
class PickList : public QTreeView {
 public:
  explicit PickList(QWidget* parent) : QTreeView(parent) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
  }

 protected:
  QPainterPath box() const {
    QPainterPath path;
    path.addRoundedRect(QRectF(viewport()->rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    return path;
  }

  void paintEvent(QPaintEvent* event) override {
    const QColor text = palette().color(QPalette::Text);
    {
      QPainter painter(viewport());
      painter.setRenderHint(QPainter::Antialiasing);
      painter.fillPath(box(), ui::Tints::withOpacity(text, 0.02));
    }
    QTreeView::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(box(), QPen(ui::Tints::withOpacity(text, 0.08), 1));
  }

  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
    if (index.row() % 2 == 1) {
      painter->save();
      painter->setRenderHint(QPainter::Antialiasing);
      painter->setClipPath(box());
      painter->fillRect(QRect(0, option.rect.top(), viewport()->width(), option.rect.height()),
                        ui::Tints::withOpacity(palette().color(QPalette::Text), 0.035));
      painter->restore();
    }
    QTreeView::drawRow(painter, option, index);
  }

  void keyPressEvent(QKeyEvent* event) override {
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid()) {
      const QModelIndex tick = current.siblingAtColumn(CarryPickModel::nameColumn);
      const bool on = tick.data(Qt::CheckStateRole).toInt() == Qt::Checked;
      model()->setData(tick, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
      return;
    }
    QTreeView::keyPressEvent(event);
  }
};

}  // namespace

CarryPane::CarryPane(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      picks_(new CarryPickModel(model, this)),
      selectAll_(new QPushButton(tr("Select All"))),
      selectNone_(new QPushButton(tr("Select None"))),
      copy_(new QPushButton),
      body_(new QStackedLayout),
      busy_(new BusyView(tr("Reading apps and settings folders…"))),
      main_(new QWidget),
      noApps_(noAppsView(QStringLiteral("carryNoApps"))),
      stats_(new StatsRow),
      progress_(new QProgressBar),
      resultSlot_(new QVBoxLayout),
      list_(new PickList(nullptr)) {
  setObjectName(QStringLiteral("carryPane"));
  selectAll_->setObjectName(QStringLiteral("selectAll"));
  selectNone_->setObjectName(QStringLiteral("selectNone"));
  copy_->setObjectName(QStringLiteral("copySettings"));
  copy_->setDefault(true);
  ui::setButtonSymbol(copy_, QStringLiteral("externaldrive.badge.plus"));
  busy_->setObjectName(QStringLiteral("carryLoading"));
  stats_->setObjectName(QStringLiteral("carryStats"));
  progress_->setObjectName(QStringLiteral("carryProgress"));
  list_->setObjectName(QStringLiteral("pickList"));

  auto* header =
      new TitleRow(tr("Copy Settings"),
                   tr("Tick the settings to take along and copy them to a folder on a drive. A "
                      "manifest goes with them, so the new Mac's New Mac Check can list what's "
                      "missing."),
                   this);
  header->buttons()->addWidget(selectAll_);
  header->buttons()->addWidget(selectNone_);
  header->buttons()->addWidget(copy_);

  picks_->setShownBy(this);
  list_->setModel(picks_);
  list_->setItemDelegate(new PickDelegate(list_));
  list_->setRootIsDecorated(false);
  list_->setHeaderHidden(true);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(false);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->setTextElideMode(Qt::ElideRight);
  QHeaderView* columns = list_->header();
  columns->setStretchLastSection(false);
  columns->setSectionResizeMode(CarryPickModel::nameColumn, QHeaderView::Fixed);
  columns->setSectionResizeMode(CarryPickModel::pathColumn, QHeaderView::Stretch);
  columns->setSectionResizeMode(CarryPickModel::sizeColumn, QHeaderView::Fixed);
  // The tick box and its padding come before the name's 170 points.
  columns->resizeSection(CarryPickModel::nameColumn, kNameWidth + 40);
  columns->resizeSection(CarryPickModel::sizeColumn, kSizeWidth + 20);

  progress_->setTextVisible(false);
  QLabel* note = textLabel(
      tr("Only items in Preferences and Application Support are offered. Licence-looking files, "
         "caches and sandboxed apps' containers are always left out; licence keys and Keychain "
         "items are never copied."),
      ui::TextStyle::caption, main_, true);
  note->setObjectName(QStringLiteral("carryNote"));
  note->setWordWrap(true);

  auto* mainLayout = new QVBoxLayout(main_);
  mainLayout->setContentsMargins(0, 0, 0, 0);
  mainLayout->setSpacing(12);
  mainLayout->addWidget(stats_);
  mainLayout->addWidget(progress_);
  resultSlot_->setContentsMargins(0, 0, 0, 0);
  resultSlot_->setSpacing(12);
  mainLayout->addLayout(resultSlot_);
  mainLayout->addWidget(list_, 1);
  mainLayout->addWidget(note);

  body_->addWidget(busy_);
  body_->addWidget(main_);
  body_->addWidget(noApps_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 18, 18, 18);
  layout->setSpacing(12);
  layout->addWidget(header);
  layout->addLayout(body_, 1);

  connect(selectAll_, &QPushButton::clicked, this, [this] {
    TextSet all;
    for (const SettingsPick& pick : picks_->offered()) all.insert(pick.tildePath);
    model_.setCarryChosen(all);
  });
  connect(selectNone_, &QPushButton::clicked, this, [this] { model_.setCarryChosen(TextSet{}); });
  // The copy is the model's: leaving the pane does not stop it.
  connect(copy_, &QPushButton::clicked, this, [this] { model_.copySettings(); });

  for (auto signal : {&AppModel::inventoryChanged, &AppModel::inventoryLoadingChanged,
                      &AppModel::carryChosenChanged, &AppModel::carrySizesChanged,
                      &AppModel::carryBusyChanged, &AppModel::stateChanged}) {
    connect(&model_, signal, this, &CarryPane::refresh);
  }
  for (auto signal : {&AppModel::inventoryChanged, &AppModel::carryChosenChanged,
                      &AppModel::carryBusyChanged, &AppModel::carryResultChanged}) {
    connect(&model_, signal, this, [this] { model_.refreshRunningChosenApps(); });
  }
  connect(&model_, &AppModel::runningChosenAppsChanged, this, &CarryPane::refreshRunning);
  connect(&model_, &AppModel::carryProgressChanged, this, &CarryPane::refreshProgress);
  connect(&model_, &AppModel::carryResultChanged, this, &CarryPane::refreshResult);
  connect(&model_, &AppModel::carryOnInternalDiskChanged, this, &CarryPane::refreshResult);
  refresh();
  refreshRunning();
  refreshResult();
}

void CarryPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  picks_->catchUp();
  model_.loadInventory().then(this, [this] {
    if (isVisible()) model_.measureCarrySizes();
  });
  model_.refreshRunningChosenApps();
}

void CarryPane::refresh() {
  if (model_.inventoryLoading()) {
    body_->setCurrentWidget(busy_);
  } else {
    body_->setCurrentWidget(noAppsFound(model_) ? noApps_ : main_);
  }
  const std::vector<SettingsPick> ticked = picks_->ticked();
  int64_t bytes = 0;
  std::set<std::string> apps;
  for (const SettingsPick& pick : ticked) {
    const auto size = model_.carrySizes().find(pick.tildePath);
    if (size != model_.carrySizes().end()) bytes += size->second.bytes;
    apps.insert(pick.bundleID);
  }
  stats_->setItems({{tr("%1 of %2").arg(ticked.size()).arg(picks_->offered().size()),
                     tr("settings ticked"), ui::Tint::teal},
                    {sizeText(bytes), tr("to copy (caches left out)"), ui::Tint::accent},
                    {QString::number(apps.size()), tr("apps"), ui::Tint::purple}});

  selectAll_->setEnabled(!picks_->offered().empty());
  selectNone_->setEnabled(!model_.carryChosen().empty());
  copy_->setText(tr("Copy %1 to a Folder…").arg(ticked.size()));
  copy_->setEnabled(!ticked.empty() && !model_.carryBusy());

  refreshProgress();
}

// The model works the names out again, off the main thread, when the
// ticks, the inventory or the copy change and when the pane is shown.
void CarryPane::refreshRunning() {
  delete running_;
  running_ = nullptr;
  const std::vector<std::string> runningApps = model_.runningChosenApps();
  if (!runningApps.empty()) {
    QStringList names;
    for (const std::string& name : runningApps) names << shownLine(name);
    running_ =
        ui::symbolLine(QStringLiteral("runningWarning"), QStringLiteral("exclamationmark.triangle"),
                       tr("Quit %1 first, so the copy has its latest settings.")
                           .arg(names.join(QStringLiteral(", "))),
                       ui::Tint::orange, ui::TextStyle::body, main_);
    static_cast<QVBoxLayout*>(main_->layout())->insertWidget(2, running_);
  }
}

void CarryPane::refreshProgress() {
  const bool busy = model_.carryBusy();
  progress_->setVisible(busy);
  if (!busy) return;
  const WorkProgress progress = model_.carryProgress();
  progress_->setRange(0, std::max(progress.total, 1));
  progress_->setValue(std::clamp(progress.done, 0, std::max(progress.total, 1)));
  progress_->setTextVisible(true);
  progress_->setFormat(tr("Copying %1 of %2…").arg(progress.done).arg(progress.total));
  progress_->setAccessibleName(progress_->format());
}

void CarryPane::refreshResult() {
  delete result_;
  result_ = nullptr;
  if (const OptionalCarryResult& result = model_.carryResult()) {
    result_ = new CarryResultCard(model_, *result, main_);
    result_->setObjectName(QStringLiteral("carryResult"));
    resultSlot_->addWidget(result_);
    // The card is made after the list but shows above it: Tab reaches it
    // first.
    QWidget* last = result_;
    for (QWidget* next = result_->nextInFocusChain(); result_->isAncestorOf(next);
         next = next->nextInFocusChain()) {
      last = next;
    }
    QWidget::setTabOrder(last, list_);
  }
}

}  // namespace larkvale::movingday
