#include "Pennant/view/MoreAppsFooter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>

#include "Pennant/view/MoreAppsLook.h"

namespace pennant {

MoreAppsFooter::MoreAppsFooter(const QString& credit, const QString& buttonTitle,
                               std::function<void()> showCatalogue, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("moreAppsCredit"));
  auto* text = new QLabel(credit, this);
  text->setObjectName(QStringLiteral("moreAppsCreditText"));
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  text->setFont(MoreAppsLook::caption(font()));
  QPalette dimmed = text->palette();
  dimmed.setColor(QPalette::WindowText, MoreAppsLook::secondaryText(palette()));
  text->setPalette(dimmed);

  auto* button = new QPushButton(buttonTitle, this);
  button->setObjectName(QStringLiteral("moreAppsButton"));
  button->setFont(MoreAppsLook::callout(font()));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [show = std::move(showCatalogue)] {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (show) show();
  });

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->addWidget(text, 1, Qt::AlignVCenter);
  layout->addWidget(button, 0, Qt::AlignVCenter);
}

}  // namespace pennant
