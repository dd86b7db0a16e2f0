#include "app/screens/movingday/StatsRow.h"

#include <QHBoxLayout>

#include "app/ui/Stat.h"

namespace larkvale::movingday {

StatsRow::StatsRow(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(10);
}

void StatsRow::setItems(const std::vector<Item>& items) {
  if (items == items_ && !stats_.empty()) return;
  items_ = items;
  for (ui::Stat* stat : stats_) delete stat;
  stats_.clear();
  for (const Item& item : items_) {
    auto* stat = new ui::Stat(item.value, item.label, item.tint, this);
    stat->setObjectName(QStringLiteral("stat"));
    layout()->addWidget(stat);
    stats_.push_back(stat);
  }
}

ui::Stat* StatsRow::stat(const QString& label) const {
  for (ui::Stat* stat : stats_) {
    if (stat->label() == label) return stat;
  }
  return nullptr;
}

}  // namespace larkvale::movingday
