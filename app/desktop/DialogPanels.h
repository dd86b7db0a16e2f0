#pragma once
// The open and save panels as Qt file dialogs, run modally over the app's
// window. Each answers nothing when the user cancels.
//
// A panel that accepts folders and files alike (a Moving Day folder or its
// manifest) is Qt's own dialog, which lets either be chosen; the others may
// be the desktop's native dialogs.
//
// Threads: main thread; each call runs a modal event loop until the user
// answers.
#include <QWidget>
#include <functional>

#include "app/model/AppServices.h"

namespace larkvale {

class DialogPanels final : public Panels {
 public:
  // `window` gives the window the dialogs belong to (may give null); by
  // default the application's active window.
  explicit DialogPanels(std::function<QWidget*()> window = {});

  std::optional<std::filesystem::path> chooseOpen(const Open& request) override;
  std::optional<std::filesystem::path> chooseSave(const Save& request) override;

  // "Files (*.json *.md)"-style filters for the suffixes; empty for none.
  static QStringList nameFilters(const std::vector<std::string>& suffixes);

 private:
  std::function<QWidget*()> window_;
};

}  // namespace larkvale
