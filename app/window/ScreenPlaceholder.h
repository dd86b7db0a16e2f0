#pragma once
// What the window shows where the executable handed in no screen: a quiet
// page that names what would be there, so a missing screen is plain to see
// rather than an empty area.
#include <QString>

class QDialog;
class QWidget;

namespace larkvale {

// A page naming a pane or window content; objectName "placeholder".
QWidget* makePlaceholder(const QString& name, QWidget* parent);

// A sheet naming what it stands for, with a "Close" button; objectName
// "placeholderSheet".
QDialog* makePlaceholderSheet(const QString& name, QWidget* parent);

}  // namespace larkvale
