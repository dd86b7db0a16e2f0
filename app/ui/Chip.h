#pragma once
// A capsule label: an optional symbol and one line of text, both in the
// tint, in the caption style at medium weight, on a capsule filled with the
// tint at 0.12 opacity, 8 points of padding at the sides and 3 above and
// below. It takes only the width its text needs and, when given less, cuts
// the text off with "…". No border. The text is shown verbatim. Main thread.
#include <QWidget>

#include <optional>

#include "app/ui/Tints.h"

namespace larkvale::ui {

class Chip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int horizontalPadding = 8;
  static constexpr int verticalPadding = 3;
  static constexpr int symbolSpacing = 4;
  static constexpr double fillOpacity = 0.12;

  Chip(const QString& text, std::optional<QString> symbol, Tint tint, QWidget* parent = nullptr);

  QString text() const { return text_; }
  Tint tint() const { return tint_; }
  // The text as drawn at the chip's current width.
  QString shownText() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont chipFont() const;
  int symbolSize() const;
  int textRoom() const;

  QString text_;
  std::optional<QString> symbol_;
  Tint tint_;
};

}  // namespace larkvale::ui
