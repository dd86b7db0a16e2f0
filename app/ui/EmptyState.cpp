#include "app/ui/EmptyState.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/ui/SymbolView.h"
#include "app/ui/TintLabel.h"

namespace larkvale::ui {

EmptyState::EmptyState(QWidget* parent)
    : QWidget(parent),
      column_(new QVBoxLayout(this)),
      title_(new QLabel(this)),
      description_((new TintLabel(QString(), TextStyle::body, Tint::secondary, this))->wrapping()) {
  setObjectName(QStringLiteral("emptyState"));
  title_->setObjectName(QStringLiteral("emptyTitle"));
  title_->setTextFormat(Qt::PlainText);
  title_->setAlignment(Qt::AlignCenter);
  title_->setWordWrap(true);
  setTitleStyle(TextStyle::title3);
  description_->setObjectName(QStringLiteral("emptyDescription"));
  description_->setAlignment(Qt::AlignCenter);
  column_->setSpacing(8);
  column_->addStretch(1);
  column_->addWidget(title_);
  column_->addWidget(description_);
  column_->addStretch(1);
}

EmptyState::EmptyState(const QString& symbol, const QString& title, const QString& description,
                       QWidget* parent)
    : EmptyState(parent) {
  setContent(symbol, title, description);
}

void EmptyState::setContent(const QString& symbol, const QString& title,
                            const QString& description) {
  showSymbol(symbol);
  title_->setText(title);
  description_->setText(description);
}

void EmptyState::setTitleStyle(TextStyle style) {
  title_->setFont(Fonts::font(style, font(), QFont::Bold));
}

void EmptyState::setSymbolSize(int size) {
  if (size == symbolSize_) return;
  symbolSize_ = size;
  if (symbol_) {
    const QString shown = symbol_->symbol();
    delete symbol_;
    symbol_ = nullptr;
    showSymbol(shown);
  }
}

void EmptyState::showSymbol(const QString& symbol) {
  if (symbol_ && symbol_->symbol() == symbol) return;
  delete symbol_;
  symbol_ = new SymbolView(symbol, Tint::secondary, symbolSize_, this);
  column_->insertWidget(1, symbol_, 0, Qt::AlignHCenter);
}

QString EmptyState::symbol() const {
  return symbol_ ? symbol_->symbol() : QString();
}

QString EmptyState::title() const {
  return title_->text();
}

QString EmptyState::description() const {
  return description_->text();
}

}  // namespace larkvale::ui
