#pragma once
// The main window's detail area: one page per pane, the model's pane on top.
// A page is built the first time its pane is shown, through the pane factory
// the executable handed in (a placeholder naming the pane where there is
// none), and kept for the life of the window. History and Settings sit in a
// vertical scroll area that pads them 24 px on every side; the other screens
// bring their own scrolling.
//
// Main thread only.
#include <QStackedWidget>
#include <array>

#include "app/window/Screens.h"

namespace larkvale {

class PaneStack : public QStackedWidget {
  Q_OBJECT

 public:
  static constexpr int kScrollPadding = 24;

  PaneStack(AppModel& model, decltype(Screens::pane) factory, QWidget* parent = nullptr);

  // The page of a pane, or null while it has not been shown yet.
  QWidget* page(Pane pane) const { return pages_[static_cast<size_t>(pane)]; }

 private:
  void showPane();
  QWidget* build(Pane pane);

  AppModel& model_;
  decltype(Screens::pane) factory_;
  std::array<QWidget*, Panes::all.size()> pages_{};
};

}  // namespace larkvale
