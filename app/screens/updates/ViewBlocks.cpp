#include "app/screens/updates/ViewBlocks.h"

#include <QEvent>
#include <QGuiApplication>
#include <QVBoxLayout>

#include "app/ui/SymbolView.h"

namespace larkvale::viewblocks {

QString richText(const QString& fixedMarkdown) {
  const QString text = fixedMarkdown.toHtmlEscaped();
  QString out;
  out.reserve(text.size() + 16);
  qsizetype i = 0;
  while (i < text.size()) {
    if (text.mid(i, 2) == QLatin1String("**")) {
      qsizetype end = text.indexOf(QLatin1String("**"), i + 2);
      if (end > i + 2) {
        out += QLatin1String("<b>") + text.mid(i + 2, end - i - 2) + QLatin1String("</b>");
        i = end + 2;
        continue;
      }
    } else if (text[i] == QLatin1Char('`')) {
      qsizetype end = text.indexOf(QLatin1Char('`'), i + 1);
      if (end > i + 1) {
        out += QLatin1String("<code>") + text.mid(i + 1, end - i - 1) + QLatin1String("</code>");
        i = end + 1;
        continue;
      }
    }
    out += text[i];
    ++i;
  }
  return out;
}

QString escaped(const QString& value) {
  return value.toHtmlEscaped();
}

QString escaped(const std::string& value) {
  return QString::fromStdString(value).toHtmlEscaped();
}

TextLabel::TextLabel(const QString& text, ui::TextStyle style, std::optional<ui::Tint> tint,
                     QWidget* parent)
    : QLabel(text, parent), tint_(tint) {
  setTextFormat(Qt::PlainText);
  setFont(ui::Fonts::font(style, font()));
  applyTint();
}

TextLabel* TextLabel::wrapping() {
  setWordWrap(true);  // which also makes the height follow the width
  return this;
}

TextLabel* TextLabel::rich() {
  setTextFormat(Qt::RichText);
  return this;
}

void TextLabel::setTint(std::optional<ui::Tint> tint) {
  if (tint_ == tint) return;
  tint_ = tint;
  applyTint();
}

void TextLabel::applyTint() {
  if (!tint_) {
    if (testAttribute(Qt::WA_SetPalette)) setPalette(QPalette());
    return;
  }
  // The tint is worked out from the palette the label would inherit, not
  // from its own, which already carries the tint.
  QPalette inherited = parentWidget() ? parentWidget()->palette() : QGuiApplication::palette();
  QColor color = ui::Tints::color(*tint_, inherited);
  QPalette colours = palette();
  if (testAttribute(Qt::WA_SetPalette) && colours.color(QPalette::WindowText) == color) return;
  colours.setColor(QPalette::WindowText, color);
  setPalette(colours);
}

void TextLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
    applyTint();
  }
}

EmptyState::EmptyState(const QString& symbol, const QString& title, const QString& description,
                       QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("emptyState"));
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(8);
  layout->addStretch(1);
  layout->addWidget(new ui::SymbolView(symbol, ui::Tint::secondary, 40, this), 0, Qt::AlignHCenter);
  auto* heading = new TextLabel(title, ui::TextStyle::title3, std::nullopt, this);
  heading->setObjectName(QStringLiteral("emptyTitle"));
  heading->setFont(ui::Fonts::font(ui::TextStyle::title3, font(), QFont::Bold));
  heading->setAlignment(Qt::AlignHCenter);
  layout->addWidget(heading);
  auto* detail =
      (new TextLabel(description, ui::TextStyle::body, ui::Tint::secondary, this))->wrapping();
  detail->setObjectName(QStringLiteral("emptyDescription"));
  detail->setAlignment(Qt::AlignHCenter);
  layout->addWidget(detail);
  layout->addStretch(1);
}

CappedColumn::CappedColumn(int cap, QWidget* parent)
    : QWidget(parent), cap_(cap), body_(new QWidget(this)) {
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

QSize CappedColumn::sizeHint() const {
  QSize hint = body_->sizeHint();
  return {std::min(hint.width(), cap_), hint.height()};
}

QSize CappedColumn::minimumSizeHint() const {
  QSize hint = body_->minimumSizeHint();
  return {std::min(hint.width(), cap_), hint.height()};
}

int CappedColumn::heightForWidth(int width) const {
  const int inner = std::min(width, cap_);
  return body_->hasHeightForWidth() ? body_->heightForWidth(inner) : body_->sizeHint().height();
}

void CappedColumn::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  body_->setGeometry(0, 0, std::min(width(), cap_), height());
}

bool CappedColumn::event(QEvent* event) {
  // The body's layout changing (texts, shown parts) changes this widget's
  // hints too.
  if (event->type() == QEvent::LayoutRequest) updateGeometry();
  return QWidget::event(event);
}

QWidget* stackWidget(int spacing, QWidget* parent) {
  auto* widget = new QWidget(parent);
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return widget;
}

QVBoxLayout* stackOf(QWidget* widget) {
  return static_cast<QVBoxLayout*>(widget->layout());
}

}  // namespace larkvale::viewblocks
