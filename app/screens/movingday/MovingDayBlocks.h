#pragma once
// Small pieces the Moving day panes share: their title rows, the busy and
// empty states, text helpers (sizes, the search rule, text styles, outside
// text as shown), labels in the secondary colour and the label of a path.
// Everything here shows text verbatim (plain text); nothing reads or changes
// the model. Main thread.
#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/Fonts.h"
#include "app/ui/Tints.h"
#include "platform/Dates.h"

class QHBoxLayout;
class QVBoxLayout;

namespace larkvale::ui {
class ClampedLabel;
class EmptyState;
}  // namespace larkvale::ui

namespace larkvale::movingday {

// Our own texts (fixed words, section titles, step ids): UTF-8 as it is.
// Nothing read from outside goes through here: see the two below.
inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Outside text as the panes show it, in the form that fits it: one line for
// names, versions, identifiers, hosts, install lines and notes; a path
// written out (every hidden character, stray byte and backslash spelled, so
// that it names its file and never looks like another path) for paths and
// folder names. What is looked up, opened or copied keeps the raw text.
QString shownLine(std::string_view text);
QString shownPath(std::string_view path);

// A byte count in the locale of the app's texts (ui::textLocale: "1.4 kB",
// never "1,4 ko" beside English words), with decimal (1000-based) units as
// file sizes are shown on the desktop.
QString sizeText(int64_t bytes);

// A moment as an abbreviated date and a short time in the locale of the
// app's texts and the user's time zone ("Dec 5, 2026, 5:30 PM"), through ICU.
QString dateTimeText(Date date);

// The main window's search over a name: an empty search keeps everything;
// otherwise the name must contain the search text, ignoring letter case.
// The search text is used as typed (not trimmed).
bool nameMatches(std::string_view name, const QString& search);

// The monospaced face at a text style's size.
QFont monoFont(ui::TextStyle style, const QFont& base);

// A plain-text label in a text style; `secondary` dims it (a ui::TintLabel).
QLabel* textLabel(const QString& text, ui::TextStyle style, QWidget* parent,
                  bool secondary = false);

// Puts a pane's content in a column (24 points of margin, 16 between
// blocks, at most maxWidth wide, kept at the leading edge of wide windows)
// inside a scroll area that fills the pane; answers the column. `name`
// prefixes the object names of the column ("…Content") and the scroll area
// ("…Scroll").
QVBoxLayout* scrollingColumn(QWidget* pane, int maxWidth, const QString& name);

// Lets the user select a label's text with the mouse and keyboard.
void makeSelectable(QLabel* label);

// For text drawn by a widget of its own (shortened or clamped paths): the
// widget takes the focus from Tab or a click, and Ctrl+C or the "Copy" entry
// of its context menu calls `copy`, which holds what is copied.
void makeCopyable(QWidget* widget, std::function<void()> copy);

// A path from outside, monospaced in a text style, on at most `lines`
// lines (the last one cut in the middle when there is one): shown written
// out (shownPath), the same in its tooltip. Ctrl+C and
// its context menu hand `copy` the real path, which names the file.
ui::ClampedLabel* pathLabel(const std::string& path, int lines, ui::TextStyle style,
                            QWidget* parent, std::function<void(const std::string&)> copy);

// What a Moving day pane shows when there is nothing to show yet: an empty
// state with 24 points of margin and a symbol two title lines tall.
ui::EmptyState* contentUnavailable(const QString& symbol, const QString& title,
                                   const QString& description, QWidget* parent = nullptr);

// A pane's title block: the title (title-2, bold) over a subtitle (callout,
// secondary, at most two lines), then a flexible space and whatever the pane
// adds at the trailing edge (buttons()).
class TitleRow : public QWidget {
  Q_OBJECT

 public:
  TitleRow(const QString& title, const QString& subtitle, QWidget* parent = nullptr);

  QString title() const;
  QString subtitle() const;
  // The trailing part of the row; add buttons to it in order.
  QHBoxLayout* buttons() const { return buttons_; }

 private:
  QLabel* title_;
  ui::ClampedLabel* subtitle_;
  QHBoxLayout* buttons_;
};

// An indeterminate progress indicator with its label, centred in the space
// it is given.
class BusyView : public QWidget {
  Q_OBJECT

 public:
  explicit BusyView(const QString& label, QWidget* parent = nullptr);
  QString label() const { return label_->text(); }

 private:
  QLabel* label_;
};

}  // namespace larkvale::movingday
