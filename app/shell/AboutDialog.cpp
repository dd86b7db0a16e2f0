#include "app/shell/AboutDialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/ui/TintLabel.h"

namespace larkvale {
namespace {

QLabel* centred(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignHCenter);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString AboutDialog::credits() {
  return tr("Every app update in one place, and a Moving day checklist for your next Mac.\n"
            "Larkvale asks only each app's own update feed, Apple's App Store lookup, GitHub and "
            "Homebrew. It never installs anything by itself and sends nothing about you.") +
         tr("\nIts own updates come through Check for Updates\u2026");
}

AboutDialog::AboutDialog(const AppInfo& app, const QIcon& icon, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("about"));
  setWindowTitle(tr("About %1").arg(app.appDisplayName()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* image = new QLabel(this);
  image->setPixmap(icon.pixmap(64, 64));
  image->setAlignment(Qt::AlignHCenter);
  layout->addWidget(image);

  QLabel* name = centred(app.appDisplayName(), this);
  name->setObjectName(QStringLiteral("aboutName"));
  QFont large = name->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.2);
  name->setFont(large);
  layout->addWidget(name);

  QLabel* version = centred(tr("Version %1").arg(app.appShortVersion()), this);
  version->setObjectName(QStringLiteral("aboutVersion"));
  layout->addWidget(version);

  QLabel* text = centred(credits(), this);
  text->setObjectName(QStringLiteral("aboutCredits"));
  QFont small = text->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  text->setFont(small);
  // Dimmed from the palette's own text colour, worked out again when the
  // theme changes: palettes that set no placeholder colour stay readable.
  ui::tintText(text, ui::Tint::secondary);
  text->setFixedWidth(320);  // wrapped lines get their full height at a known width
  layout->addSpacing(8);
  layout->addWidget(text);
}

}  // namespace larkvale
