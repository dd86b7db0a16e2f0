#include "app/ui/TintLabel.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>

#include "app/ui/SymbolView.h"

namespace larkvale::ui {
namespace {

class TextTint : public QObject {
 public:
  TextTint(QWidget* widget, std::optional<Tint> tint) : QObject(widget), widget_(widget) {
    setObjectName(QStringLiteral("textTint"));
    widget->installEventFilter(this);
    setTint(tint);
  }

  void setTint(std::optional<Tint> tint) {
    tint_ = tint;
    apply();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_ &&
        (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)) {
      apply();
    }
    return false;
  }

 private:
  void apply() {
    if (!tint_) {
      if (widget_->testAttribute(Qt::WA_SetPalette)) widget_->setPalette(QPalette());
      return;
    }
    // Worked out on the inherited palette: the widget's own has the tint in
    // it already.
    const QWidget* parent = widget_->parentWidget();
    const QColor want = Tints::color(*tint_, parent ? parent->palette() : QApplication::palette());
    QPalette own = widget_->palette();
    if (widget_->testAttribute(Qt::WA_SetPalette) && own.color(QPalette::WindowText) == want &&
        own.color(QPalette::Text) == want) {
      return;
    }
    own.setColor(QPalette::WindowText, want);
    own.setColor(QPalette::Text, want);
    widget_->setPalette(own);
  }

  QWidget* widget_;
  std::optional<Tint> tint_;
};

}  // namespace

void tintText(QWidget* widget, std::optional<Tint> tint) {
  if (auto* keeper =
          widget->findChild<TextTint*>(QStringLiteral("textTint"), Qt::FindDirectChildrenOnly)) {
    keeper->setTint(tint);
  } else if (tint) {
    new TextTint(widget, tint);
  }
}

TintLabel::TintLabel(const QString& text, std::optional<Tint> tint, QWidget* parent)
    : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  tintText(this, tint);
}

TintLabel::TintLabel(const QString& text, TextStyle style, std::optional<Tint> tint,
                     QWidget* parent)
    : TintLabel(text, tint, parent) {
  setFont(Fonts::font(style, font()));
}

TintLabel* TintLabel::wrapping() {
  setWordWrap(true);  // which also makes the height follow the width
  return this;
}

TintLabel* TintLabel::rich() {
  setTextFormat(Qt::RichText);
  return this;
}

QWidget* symbolLine(const QString& name, const QString& symbol, const QString& text, Tint tint,
                    TextStyle style, QWidget* parent) {
  auto* line = new QWidget(parent);
  line->setObjectName(name);
  auto* row = new QHBoxLayout(line);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  auto* label = (new TintLabel(text, style, tint, line))->wrapping();
  label->setObjectName(name + QStringLiteral("Text"));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(new SymbolView(symbol, tint, label->fontMetrics().height(), line), 0,
                 Qt::AlignTop);
  row->addWidget(label, 1);
  return line;
}

}  // namespace larkvale::ui
