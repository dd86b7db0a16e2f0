#include "app/ui/PaneHeader.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/ui/ClampedLabel.h"
#include "app/ui/Fonts.h"
#include "app/ui/Tints.h"

namespace larkvale::ui {

PaneHeader::PaneHeader(const QString& title, const QString& subtitle, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      subtitle_(new ClampedLabel(subtitle, subtitleLines, this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  title_->setObjectName(QStringLiteral("paneTitle"));
  title_->setTextFormat(Qt::PlainText);
  title_->setFont(Fonts::font(TextStyle::largeTitle, font(), QFont::Bold));
  subtitle_->setObjectName(QStringLiteral("paneSubtitle"));
  applyColours();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  layout->addWidget(title_);
  layout->addWidget(subtitle_);
}

QString PaneHeader::title() const {
  return title_->text();
}
QString PaneHeader::subtitle() const {
  return subtitle_->text();
}

void PaneHeader::applyColours() {
  QPalette dimmed = subtitle_->palette();
  dimmed.setColor(QPalette::WindowText, Tints::secondaryText(palette()));
  subtitle_->setPalette(dimmed);
}

void PaneHeader::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyColours();
}

}  // namespace larkvale::ui
