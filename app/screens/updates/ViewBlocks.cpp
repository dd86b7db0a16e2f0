#include "app/screens/updates/ViewBlocks.h"

#include <QEvent>
#include <QGuiApplication>
#include <QVBoxLayout>

#include "app/ui/SymbolView.h"
#include "app/ui/TintLabel.h"

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
