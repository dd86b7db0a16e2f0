#pragma once
// The catalogue's own window: 440 × 400, titled "More Mac Apps" in the
// module's language, closable but neither resizable nor minimisable. It
// hosts one list view for its whole life; closing only hides it, so showing
// it again brings back the same view where the user left it. Main thread.
#include <QWidget>

#include <memory>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/MoreAppsLoader.h"
#include "Pennant/view/MoreAppsLook.h"

namespace pennant {

class MoreAppsListView;
struct MoreAppsLastResult;

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

// A host app's catalogue: the one window, made on the first
// showMoreAppsWindow() with a list over the host's configuration and kept for
// the catalogue's life. Its menu items and credit footer all call
// showMoreAppsWindow(). Main thread.
class MoreAppsCatalogue : public QObject {
  Q_OBJECT

 public:
  explicit MoreAppsCatalogue(MoreAppsConfig config, MoreAppsLoader loader = {},
                             MoreAppsHooks hooks = {}, QObject* parent = nullptr);
  ~MoreAppsCatalogue() override;

  // Makes the window the first time, then shows it, brings it to the front
  // and activates it: the same window every time, where the user left it.
  void showMoreAppsWindow();

  // The window once made, else null.
  MoreAppsWindow* window() const { return window_.get(); }

 private:
  MoreAppsConfig config_;
  MoreAppsLoader loader_;
  MoreAppsHooks hooks_;
  std::shared_ptr<MoreAppsLastResult> lastResult_;
  std::unique_ptr<MoreAppsWindow> window_;
};

}  // namespace pennant
