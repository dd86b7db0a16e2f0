#pragma once
// A counter: a large value (title-2 style, semibold, in the tint) over a
// one-line caption in the secondary colour, 12 points of padding, on a
// rounded box (radius 10) filled with the tint at 0.08 opacity. As wide as
// the room offered. Both texts are shown verbatim; for accessibility the box
// is one element named by both. Main thread.
#include <QWidget>

#include "app/ui/Tints.h"

class QLabel;

namespace larkvale::ui {

class ClampedLabel;

class Stat : public QWidget {
  Q_OBJECT

 public:
  static constexpr int padding = 12;
  static constexpr int spacing = 2;
  static constexpr int radius = 10;
  static constexpr double fillOpacity = 0.08;

  Stat(const QString& value, const QString& label, Tint tint, QWidget* parent = nullptr);

  QString value() const;
  QString label() const;
  Tint tint() const { return tint_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void applyColours();

  Tint tint_;
  QLabel* value_;
  ClampedLabel* label_;
};

}  // namespace larkvale::ui
