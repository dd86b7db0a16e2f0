#pragma once
// A row of counters (ui::Stat) side by side, 10 points apart, replaced as a
// whole when the counts change. Main thread.
#include <QWidget>

#include <vector>

#include "app/ui/Tints.h"

namespace larkvale::ui {
class Stat;
}

namespace larkvale::movingday {

class StatsRow : public QWidget {
  Q_OBJECT

 public:
  struct Item {
    QString value;
    QString label;
    ui::Tint tint;
    friend bool operator==(const Item&, const Item&) = default;
  };

  explicit StatsRow(QWidget* parent = nullptr);

  // Shows these counters, in order; the same items change nothing.
  void setItems(const std::vector<Item>& items);
  const std::vector<Item>& items() const { return items_; }
  // The counter showing this label, or null.
  ui::Stat* stat(const QString& label) const;

 private:
  std::vector<Item> items_;
  std::vector<ui::Stat*> stats_;
};

}  // namespace larkvale::movingday
