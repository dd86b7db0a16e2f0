#pragma once
// Drawing helpers for the item views whose rows are painted rather than
// made of widgets (the update and inventory tables, the restore checklist):
// capsule chips, wrapped text clamped to a number of lines, and application
// icons read off the main thread.
// Main thread.
#include <QFont>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QSet>
#include <QStringList>

#include <optional>

#include "app/ui/Tints.h"

class QPainter;
class QPalette;

namespace larkvale::ui {

// Remembers how wide texts are in a font, so that rows measured again at
// another width are not shaped again. Forgets everything past a bound.
class TextWidths {
 public:
  int advance(const QFont& font, const QString& text) const;

 private:
  static constexpr qsizetype kBound = 20000;
  mutable QHash<QString, QHash<QString, int>> widths_;  // by font key, then text
};

// The lines of a text wrapped to a width: at most maxLines (0: no limit),
// the last one ending in "…" when text is left over. Words wrap at spaces;
// a word longer than the width is broken anywhere.
QStringList wrapLines(const QString& text, const QFont& font, int width, int maxLines = 0,
                      const TextWidths* widths = nullptr);

// Draws the lines from the top of the box, one line spacing apart; answers
// the height used.
int drawLines(QPainter* painter, const QRect& box, const QStringList& lines, const QFont& font);

// The size of a chip with this text and symbol in the font of `base`.
QSize chipSize(const QString& text, const QString& symbol, const QFont& base);

// A capsule chip (symbol and text in the colour on the colour at 0.12
// opacity) at the left of the box, centred vertically, cut to the box.
void paintChip(QPainter* painter, const QRect& box, const QString& text, const QString& symbol,
               const QColor& colour, const QFont& base);

// A symbol drawn in a colour, centred in the box.
void paintSymbol(QPainter* painter, const QRect& box, const QString& symbol, const QColor& colour);

// Application icons by bundle path for painted rows: answers the cached
// icon, or the desktop's generic one while the real one is read (then
// loaded() is emitted so the view repaints), or nothing for a path that does
// not exist (the caller draws the dashed placeholder).
class IconSource : public QObject {
  Q_OBJECT

 public:
  explicit IconSource(QObject* parent = nullptr) : QObject(parent) {}

  std::optional<QPixmap> icon(const QString& path, int size, qreal devicePixelRatio);

 signals:
  void loaded();

 private:
  QSet<QString> loading_;  // cache keys being read
  QSet<QString> missing_;  // paths found missing
  QSet<QString> present_;  // paths found on disk
};

// An app's icon, or the dashed placeholder for a missing bundle, in the box.
void paintAppIcon(QPainter* painter, const QRect& box, IconSource& icons, const QString& path,
                  const QColor& placeholder);

}  // namespace larkvale::ui
