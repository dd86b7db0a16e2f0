#pragma once
// The credit line a host app puts at the foot of its settings and help
// views: a dimmed caption naming the maker, and a small button that shows
// the catalogue. The host supplies both texts from its own string table.
// Main thread.
#include <QWidget>

#include <functional>

namespace pennant {

class MoreAppsFooter : public QWidget {
  Q_OBJECT

 public:
  MoreAppsFooter(const QString& credit, const QString& buttonTitle,
                 std::function<void()> showCatalogue, QWidget* parent = nullptr);
};

}  // namespace pennant
