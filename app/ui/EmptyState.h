#pragma once
// What a pane or list shows when there is nothing to show: a large symbol
// in the secondary colour over a bold title and a dimmed description, all
// centred in the space offered. Texts are shown verbatim and wrap. The
// title is "emptyTitle", the description "emptyDescription". Main thread.
#include <QWidget>

#include "app/ui/Fonts.h"

class QLabel;
class QVBoxLayout;

namespace larkvale::ui {

class SymbolView;

class EmptyState : public QWidget {
  Q_OBJECT

 public:
  // Empty until setContent(); named "emptyState".
  explicit EmptyState(QWidget* parent = nullptr);
  EmptyState(const QString& symbol, const QString& title, const QString& description,
             QWidget* parent = nullptr);

  void setContent(const QString& symbol, const QString& title, const QString& description);
  // The title's text style (title3 unless set) and the symbol's size in
  // pixels (40 unless set).
  void setTitleStyle(TextStyle style);
  void setSymbolSize(int size);

  QString symbol() const;
  QString title() const;
  QString description() const;

 private:
  void showSymbol(const QString& symbol);

  QVBoxLayout* column_;
  SymbolView* symbol_ = nullptr;
  int symbolSize_ = 40;
  QLabel* title_;
  QLabel* description_;
};

}  // namespace larkvale::ui
