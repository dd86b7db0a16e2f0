#pragma once
// The catalogue's own window: 440 × 400, titled "More Mac Apps" in the
// module's language, closable but neither resizable nor minimisable. It
// hosts one list view for its whole life; closing only hides it, so showing
// it again brings back the same view where the user left it. Main thread.
#include <QWidget>

namespace pennant {

class MoreAppsListView;

class MoreAppsWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int width = 440;
  static constexpr int height = 400;

  // Takes the view as its content.
  explicit MoreAppsWindow(MoreAppsListView* content, QWidget* parent = nullptr);

  MoreAppsListView* content() const { return content_; }

  // Shows the window (centred on the screen the first time only), raises it
  // and makes it the active window.
  void present();

 private:
  MoreAppsListView* content_;
  bool placed_ = false;
};

}  // namespace pennant
