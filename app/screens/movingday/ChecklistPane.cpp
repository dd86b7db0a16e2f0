#include "app/screens/movingday/ChecklistPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/ChecklistRowDelegate.h"
#include "app/screens/movingday/ChecklistSectionModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/movingday/MovingDayHeader.h"
#include "app/screens/movingday/NoAppsFound.h"
#include "app/ui/Card.h"
#include "app/ui/FittedListView.h"
#include "app/ui/PointerTracker.h"
#include "kit/movingday/Checklist.h"

namespace larkvale::movingday {
namespace {

constexpr int kMaxWidth = 900;

std::optional<size_t> sectionPosition(const std::string& title) {
  const auto& titles = Checklist::sections();
  for (size_t i = 0; i < titles.size(); ++i) {
    if (titles[i] == title) return i;
  }
  return std::nullopt;
}

}  // namespace

QString ChecklistPane::sectionSymbol(const std::string& title) {
  static const char* const symbols[] = {"suitcase",           "mug",    "bag",
                                        "arrow.down.to.line", "folder", "key"};
  const auto at = sectionPosition(title);
  return QString::fromLatin1(at && *at < std::size(symbols) ? symbols[*at] : "flag.checkered");
}

ui::Tint ChecklistPane::sectionTint(const std::string& title) {
  static const ui::Tint tints[] = {ui::Tint::accent, ui::Tint::orange, ui::Tint::blue,
                                   ui::Tint::purple, ui::Tint::teal,   ui::Tint::pink};
  const auto at = sectionPosition(title);
  return at && *at < std::size(tints) ? tints[*at] : ui::Tint::accent;
}

QString ChecklistPane::exportOffNote(const AppModel& model) {
  if (!model.inventory().empty()) return {};
  if (noAppsFound(model)) {
    return tr(
        "The export buttons are off: Larkvale found no apps on this Mac, so there is no "
        "list to export.");
  }
  // A check emptied the inventory; the pane reads it again when it is next
  // shown.
  return tr(
      "The export buttons are off until Larkvale has read this Mac's apps again, which it "
      "does when you next open this pane.");
}

ChecklistPane::ChecklistPane(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      header_(new MovingDayHeader(model, tr("Restore Checklist"),
                                  tr("For the new Mac, in order: Homebrew, cask apps, App Store "
                                     "apps, direct downloads, then settings and sign-ins. Ticks "
                                     "are saved as you go."))),
      busy_(new BusyView(tr("Reading apps…"))),
      checklist_(new QWidget),
      progress_(new QProgressBar),
      count_(textLabel(QString(), ui::TextStyle::body, nullptr, true)),
      clear_(new QPushButton(tr("Clear Ticks"))) {
  setObjectName(QStringLiteral("checklistPane"));
  header_->setObjectName(QStringLiteral("movingDayHeader"));
  busy_->setObjectName(QStringLiteral("checklistLoading"));
  checklist_->setObjectName(QStringLiteral("checklistBody"));
  progress_->setObjectName(QStringLiteral("checklistProgress"));
  count_->setObjectName(QStringLiteral("checklistCount"));
  clear_->setObjectName(QStringLiteral("clearTicks"));
  progress_->setMaximumWidth(320);
  progress_->setTextVisible(false);

  QVBoxLayout* column = scrollingColumn(this, kMaxWidth, QStringLiteral("checklist"));
  column->addWidget(header_);
  column->addWidget(busy_);
  column->addWidget(checklist_);
  column->addStretch(1);

  auto* body = new QVBoxLayout(checklist_);
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(16);
  auto* progressRow = new QHBoxLayout;
  progressRow->setSpacing(12);
  progressRow->addWidget(progress_, 1);
  progressRow->addWidget(count_);
  progressRow->addStretch(1);
  progressRow->addWidget(clear_);
  body->addLayout(progressRow);

  auto* delegate = new ChecklistRowDelegate(model_, this);
  int position = 0;
  for (const std::string& title : Checklist::sections()) {
    auto* rows = new ChecklistSectionModel(model_, this);
    auto* list = new ui::FittedListView;
    list->setObjectName(QStringLiteral("checklistSection%1").arg(position++));
    list->setItemDelegate(delegate);
    list->setModel(rows);
    list->setRowControls(delegate);
    ui::PointerTracker::track(list);
    auto* card = new ui::Card(qs(title), sectionSymbol(title), sectionTint(title), list);
    card->setObjectName(QStringLiteral("checklistCard"));
    body->addWidget(card);
    sections_.push_back({card, list, rows});
  }

  connect(clear_, &QPushButton::clicked, this, [this] { model_.clearTicks(); });
  connect(&model_, &AppModel::inventoryChanged, this, &ChecklistPane::refreshItems);
  connect(&model_, &AppModel::inventoryLoadingChanged, this, &ChecklistPane::refreshLoading);
  connect(&model_, &AppModel::stateChanged, this, &ChecklistPane::refreshTicks);
  connect(&model_, &AppModel::stateChanged, this, &ChecklistPane::refreshExportNote);
  refreshItems();
  refreshLoading();
}

void ChecklistPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  model_.loadInventory();
}

void ChecklistPane::refreshItems() {
  const std::vector<ChecklistItem> items = Checklist::items(model_.inventory());
  itemIDs_.clear();
  itemIDs_.reserve(items.size());
  std::vector<std::vector<ChecklistItem>> bySection(sections_.size());
  for (const ChecklistItem& item : items) {
    itemIDs_.push_back(item.id);
    if (auto at = sectionPosition(item.section); at && *at < bySection.size()) {
      bySection[*at].push_back(item);
    }
  }
  for (size_t i = 0; i < sections_.size(); ++i) {
    sections_[i].card->setVisible(!bySection[i].empty());
    sections_[i].rows->setItems(std::move(bySection[i]));
  }
  refreshExportNote();
  refreshTicks();
}

void ChecklistPane::refreshExportNote() {
  const QString note = exportOffNote(model_);
  for (const Section& section : sections_) section.rows->setExportNote(note);
}

void ChecklistPane::refreshTicks() {
  const std::set<std::string>& ticked = model_.state().ticked;
  int done = 0;
  for (const std::string& id : itemIDs_) {
    if (ticked.contains(id)) ++done;
  }
  const int total = static_cast<int>(itemIDs_.size());
  const QString text = tr("%1 of %2 done").arg(done).arg(total);
  progress_->setRange(0, std::max(total, 1));
  progress_->setValue(done);
  progress_->setAccessibleName(text);
  count_->setText(text);
  clear_->setEnabled(done > 0);
  for (const Section& section : sections_) section.rows->ticksChanged();
}

void ChecklistPane::refreshLoading() {
  const bool loading = model_.inventoryLoading();
  busy_->setVisible(loading);
  checklist_->setVisible(!loading && !itemIDs_.empty());
}

}  // namespace larkvale::movingday
