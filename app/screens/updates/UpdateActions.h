#pragma once
// The controls that act on one update, in three groups and always in this
// order: the hand-off that suits its source, the user's decisions about it
// (skip, offer again, hold, release), and "Show in File Manager". One list serves
// two places, told apart by `compact`: the update detail shows it as a row
// of buttons (full form), a row of the update table as its context menu
// (compact form). Each control calls one model operation, sets one model
// value, or opens a link or the file manager through the model. Main thread.
#include <QString>

#include <functional>
#include <vector>

#include "app/model/AppModel.h"

class QLayout;
class QMenu;
class QPushButton;
class QWidget;

namespace larkvale::UpdateActions {

struct Action {
  QString key;     // the control's objectName ("openAndCheck", "hold" …)
  QString label;   // translated
  QString symbol;  // symbol name drawn beside the label
  bool enabled = true;
  bool prominent = false;  // the bordered-prominent look; never in the compact form
  QString help;            // tooltip; empty for none
  std::function<void()> trigger;
};

// The controls for the update as the model stands now. The triggers hold
// the model by reference and a copy of the update.
std::vector<Action> actions(AppModel& model, const AppUpdate& update, bool compact);

// The full form as push buttons appended to `row`, made children of
// `parent`; returns them in order.
std::vector<QPushButton*> addButtons(AppModel& model, const AppUpdate& update, QLayout* row,
                                     QWidget* parent);

// The compact form as the menu's items, appended in order.
void addToMenu(AppModel& model, const AppUpdate& update, QMenu* menu);

// A label for a button or menu item: "&" shown as itself, not as a
// keyboard mnemonic ("Open & Check for Updates").
QString withoutMnemonic(QString label);

// The web address "Open Release Page" opens for a GitHub update: its
// release-notes link, else the repository's releases page; nothing when the
// repository text isn't a repository name.
std::optional<std::string> releasePage(const AppUpdate& update);

// The host of the web site that serves Larkvale's own update feed.
QString ownFeedHost();

// Gives a push button the bordered-prominent look: filled with the accent
// colour, its label and symbol in the accent's text colour.
void makeProminent(QPushButton* button);

// The symbol as a button or menu icon, drawn in the widget's text colour.
void setSymbol(QPushButton* button, const QString& symbol);

}  // namespace larkvale::UpdateActions
