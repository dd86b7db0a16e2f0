#pragma once
// A text that tells a time relative to now ("Checked 5 minutes ago") goes
// out of date with no change that anyone announces, least of all while
// its window is closed. KeptCurrent works it out again each time its
// widget comes into view (the window opened again from the tray, its page
// chosen again) and once a minute while it stays there; while the widget
// is hidden nothing runs. Main thread only.
#include <QObject>

#include <chrono>
#include <functional>

class QTimer;
class QWidget;

namespace larkvale::ui {

class KeptCurrent final : public QObject {
 public:
  static constexpr std::chrono::minutes kTick{1};

  // `update` sets the widget's text anew; it is called before the widget is
  // drawn after each show. Owned by `widget`.
  KeptCurrent(QWidget* widget, std::function<void()> update);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> update_;
  QTimer* tick_;
};

}  // namespace larkvale::ui
