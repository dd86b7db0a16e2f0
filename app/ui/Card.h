#pragma once
// A titled box around any content: a heading row (an optional symbol in the
// tint, then the title in the headline style), the content below it, 14
// points of padding, and a rounded background and border in the tint (fill
// at 0.07, border at 0.18 opacity, corner radius 12). As wide as the room
// offered, as tall as its content. The title is shown verbatim. Main thread.
#include <QWidget>

#include <optional>

#include "app/ui/Tints.h"

class QVBoxLayout;

namespace larkvale::ui {

class Card : public QWidget {
  Q_OBJECT

 public:
  static constexpr int padding = 14;
  static constexpr int radius = 12;
  static constexpr int headingSpacing = 8;
  static constexpr int contentSpacing = 10;
  static constexpr double fillOpacity = 0.07;
  static constexpr double borderOpacity = 0.18;

  // The card takes the content over; it may be null (a card with only its
  // heading).
  Card(const QString& title, std::optional<QString> symbol, Tint tint, QWidget* content = nullptr,
       QWidget* parent = nullptr);

  QString title() const { return title_; }
  Tint tint() const { return tint_; }
  QWidget* content() const { return content_; }
  // Replaces the content (the old one is deleted).
  void setContent(QWidget* content);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  Tint tint_;
  QVBoxLayout* layout_;
  QWidget* content_ = nullptr;
};

}  // namespace larkvale::ui
