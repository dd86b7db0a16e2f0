#include "app/screens/updates/UpdatesEmptyView.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/screens/updates/TintLabel.h"
#include "app/ui/Fonts.h"
#include "app/ui/SymbolView.h"

namespace larkvale {
namespace {

constexpr int kSymbolSize = 40;

QLabel* label(const char* name, QWidget* parent) {
  auto* out = new QLabel(parent);
  out->setObjectName(QLatin1String(name));
  out->setTextFormat(Qt::PlainText);
  out->setAlignment(Qt::AlignCenter);
  out->setWordWrap(true);
  return out;
}

}  // namespace

UpdatesEmptyView::UpdatesEmptyView(QWidget* parent)
    : QWidget(parent),
      symbolHolder_(new QWidget(this)),
      title_(label("unavailableTitle", this)),
      description_(new TintLabel(QString(), ui::Tint::secondary, this)) {
  description_->setObjectName(QStringLiteral("unavailableDescription"));
  description_->setAlignment(Qt::AlignCenter);
  description_->setWordWrap(true);
  auto* holder = new QHBoxLayout(symbolHolder_);
  holder->setContentsMargins(0, 0, 0, 0);
  title_->setFont(ui::Fonts::font(ui::TextStyle::title2, font(), QFont::Bold));
  auto* column = new QVBoxLayout(this);
  column->setSpacing(8);
  column->addStretch(1);
  column->addWidget(symbolHolder_, 0, Qt::AlignHCenter);
  column->addWidget(title_);
  column->addWidget(description_);
  column->addStretch(1);
}

void UpdatesEmptyView::setContent(const QString& symbol, const QString& title,
                                  const QString& description) {
  if (!symbol_ || symbol_->symbol() != symbol) {
    delete symbol_;
    symbol_ = new ui::SymbolView(symbol, ui::Tint::secondary, kSymbolSize, symbolHolder_);
    symbolHolder_->layout()->addWidget(symbol_);
  }
  title_->setText(title);
  description_->setText(description);
}

void UpdatesEmptyView::showFor(Pane pane, bool searching, bool noAppsFound) {
  if (noAppsFound) {
    setContent(QStringLiteral("folder.badge.questionmark"), tr("No apps found"),
               tr("Larkvale looked in /Applications and ~/Applications (and the folders directly "
                  "inside them) and found no app bundles. It reads app bundles (folders ending "
                  "in \u201c.app\u201d) only."));
  } else if (pane == Pane::updates) {
    setContent(QStringLiteral("checkmark.circle"), tr("Nothing waiting"),
               tr("Every app Larkvale can check is up to date."));
  } else if (searching) {
    setContent(QStringLiteral("tray"), tr("Nothing here"), tr("No apps match."));
  } else if (pane == Pane::held) {
    setContent(QStringLiteral("tray"), tr("Nothing here"),
               tr("No skipped versions and no apps on hold."));
  } else {
    setContent(QStringLiteral("tray"), tr("Nothing here"),
               tr("The apps show here once the check has listed them."));
  }
}

QString UpdatesEmptyView::title() const {
  return title_->text();
}

QString UpdatesEmptyView::description() const {
  return description_->text();
}

QString UpdatesEmptyView::symbol() const {
  return symbol_ ? symbol_->symbol() : QString();
}

}  // namespace larkvale
