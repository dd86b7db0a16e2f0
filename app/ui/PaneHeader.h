#pragma once
// A pane's title in the large-title style, bold, over a subtitle of one or
// more sentences in the secondary colour, wrapped onto at most 3 lines.
// Both are shown verbatim. As wide as the room offered. Main thread.
#include <QWidget>

class QLabel;

namespace larkvale::ui {

class ClampedLabel;

class PaneHeader : public QWidget {
  Q_OBJECT

 public:
  static constexpr int spacing = 4;
  static constexpr int subtitleLines = 3;

  PaneHeader(const QString& title, const QString& subtitle, QWidget* parent = nullptr);

  QString title() const;
  QString subtitle() const;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void applyColours();

  QLabel* title_;
  ClampedLabel* subtitle_;
};

}  // namespace larkvale::ui
