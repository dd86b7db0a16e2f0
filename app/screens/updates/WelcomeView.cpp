#include "app/screens/updates/WelcomeView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/screens/updates/Labels.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/ui/Card.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/TintLabel.h"

namespace larkvale {
namespace {

ui::Card* card(const QString& title, const char* symbol, ui::Tint tint, const QString& body,
               const char* name) {
  QLabel* text = plainLabel(body, nullptr, true);
  auto* out = new ui::Card(title, QString::fromLatin1(symbol), tint, text);
  out->setObjectName(QLatin1String(name));
  // Side by side, a card is as tall as its text needs at the width it gets.
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  out->setSizePolicy(policy);
  return out;
}

}  // namespace

WelcomeView::WelcomeView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), check_(new QPushButton(tr("Check for Updates"), this)) {
  setMaximumWidth(maxWidth);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  auto* header = new ui::PaneHeader(
      tr("Every app update in one place"),
      tr("Larkvale lists the apps in Applications and asks where each one's updates come from: "
         "its own Sparkle feed, Homebrew, GitHub releases or the App Store."),
      this);
  header->setObjectName(QStringLiteral("welcomeHeader"));

  auto* cards = new QHBoxLayout;
  cards->setSpacing(14);
  cards->addWidget(card(tr("What it asks"), "network", ui::Tint::blue,
                        tr("Each app's own update feed, Apple's App Store lookup and Homebrew on "
                           "this Mac. One request per server per second, saved for reuse. Nothing "
                           "about you is sent."),
                        "asksCard"),
                   1);
  cards->addWidget(card(tr("What it never does"), "hand.raised", ui::Tint::orange,
                        tr("Install anything by itself. Update buttons open the app's own updater, "
                           "a terminal window you start, or the App Store page."),
                        "neverCard"),
                   1);

  check_->setObjectName(QStringLiteral("checkForUpdates"));
  UpdateActions::makeProminent(check_);
  check_->setStyleSheet(check_->styleSheet() +
                        QStringLiteral("QPushButton { padding: 8px 16px; font-weight: 600; }"));
  UpdateActions::setSymbol(check_, QStringLiteral("arrow.down.circle"));
  connect(check_, &QPushButton::clicked, this, [this] { model_.check(); });
  // While the page shows, Return starts the check wherever the focus is in
  // the window: it opens with the focus on the sidebar. A hidden page's
  // shortcut doesn't fire.
  for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, check_, &QPushButton::click);
  }

  auto* footer =
      new ui::TintLabel(tr("After the first check, Larkvale checks once a day while it runs "
                           "and shows the number waiting in the tray."),
                        ui::Tint::secondary, this);
  footer->setObjectName(QStringLiteral("welcomeFooter"));
  footer->setWordWrap(true);
  footer->setFont(ui::Fonts::font(ui::TextStyle::callout, footer->font()));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(18);
  column->addWidget(header);
  column->addLayout(cards);
  column->addWidget(check_, 0, Qt::AlignLeft);
  column->addWidget(footer);
  column->addStretch(1);
}

}  // namespace larkvale
