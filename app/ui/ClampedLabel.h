#pragma once
// Plain text that wraps onto at most a given number of lines and is cut
// off with "…" in the last one (at its end unless another elide mode is
// set). With one line it never wraps and may shrink to a few characters.
// The text is drawn verbatim (never rich text) in the palette's WindowText
// colour, with a focus ring while it has the focus (when it is made
// copyable). Main thread.
#include <QWidget>

namespace larkvale::ui {

class ClampedLabel : public QWidget {
  Q_OBJECT

 public:
  ClampedLabel(const QString& text, int maxLines, QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);
  int maxLines() const { return maxLines_; }
  // Where the last line is cut: Qt::ElideRight (the default), Qt::ElideMiddle
  // for paths, or Qt::ElideLeft.
  void setElideMode(Qt::TextElideMode mode);

  // The lines as drawn at a width: at most maxLines, the last one elided
  // when text is left over.
  QStringList linesAt(int width) const;

  bool hasHeightForWidth() const override { return maxLines_ > 1; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int maxLines_;
  Qt::TextElideMode elideMode_ = Qt::ElideRight;
};

}  // namespace larkvale::ui
