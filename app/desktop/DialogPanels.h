#pragma once
// The open and save panels as Qt file dialogs, run modally over the app's
// window. Each answers nothing when the user cancels.
//
// The open panels are Qt's own dialogs: only they let one panel take a folder
// or a file (a Moving Day folder or its manifest), and only they can show the
// request's message as a label inside the panel (a title bar cuts it off).
// The save panel may be the desktop's own.
//
// Each panel opens in the folder that the last panel for the same purpose
// was left in during this run, else in the user's home, never in the
// process's working folder. The purpose of an open panel is its prompt (each
// action has its own); all save panels share one.
//
// Threads: main thread; each call runs a modal event loop until the user
// answers.
#include <QWidget>
#include <functional>
#include <map>

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
  QString startFolder(const QString& purpose) const;

  std::function<QWidget*()> window_;
  std::map<QString, QString> lastFolders_;  // by purpose
};

}  // namespace larkvale
