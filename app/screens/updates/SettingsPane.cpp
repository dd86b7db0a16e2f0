#include "app/screens/updates/SettingsPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/model/ShownText.h"
#include "app/screens/updates/SettingsPaneFacts.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/Card.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/SymbolView.h"
#include "app/ui/TextLocale.h"
#include "app/ui/TintLabel.h"
#include "app/window/MoreAppsCatalogue.h"

namespace larkvale {
namespace {

using ui::TextStyle;
using ui::Tint;
using ui::TintLabel;

QHBoxLayout* rowOf(QWidget* widget) {
  auto* row = new QHBoxLayout(widget);
  row->setContentsMargins(0, 0, 0, 0);
  return row;
}

ui::SymbolView* labelSymbol(const char* name, Tint tint, QWidget* parent) {
  return new ui::SymbolView(QLatin1String(name), tint, QFontMetrics(parent->font()).height(),
                            parent);
}

}  // namespace

SettingsPane::SettingsPane(AppModel& model, pennant::MoreAppsCatalogue& catalogue, QWidget* parent)
    : CappedColumn(kMaxWidth, parent), model_(model) {
  setObjectName(QStringLiteral("settings"));
  auto* layout = new QVBoxLayout(body());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(16);
  layout->addWidget(new ui::PaneHeader(
      tr("Settings"), tr("How often Larkvale checks, and what it may do for you."), body()));
  layout->addWidget(checkingCard());
  layout->addWidget(weeklyCard());
  layout->addWidget(handOffCard());
  layout->addWidget(sendsCard());
  layout->addWidget(limitsCard());
  layout->addWidget(makeMoreAppsFooter(catalogue, body()));

  connect(&model_, &AppModel::stateChanged, this, &SettingsPane::refresh);
  connect(&model_, &AppModel::loginItemOnChanged, this, &SettingsPane::refresh);
  connect(&model_, &AppModel::accessibilityTrustedChanged, this, &SettingsPane::refresh);
  connect(&model_, &AppModel::notificationsDeniedChanged, this, &SettingsPane::refresh);
  refresh();
}

QCheckBox* SettingsPane::toggle(const QString& text, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QLatin1String(name));
  return box;
}

QWidget* SettingsPane::checkingCard() {
  QWidget* content = viewblocks::stackWidget(ui::Card::contentSpacing);
  QVBoxLayout* stack = viewblocks::stackOf(content);
  daily_ = toggle(tr("Check once a day while Larkvale runs"), "settingsDailyCheck", content);
  connect(daily_, &QCheckBox::clicked, this, [this](bool on) {
    model_.setDailyCheck(on);
    refresh();
  });
  stack->addWidget(daily_);
  login_ = toggle(tr("Open at login (so the daily check and the tray badge keep going)"),
                  "settingsLoginItem", content);
  connect(login_, &QCheckBox::clicked, this, [this](bool on) {
    model_.setLoginItem(on);
    refresh();  // a refused change shows the system's state again
  });
  stack->addWidget(login_);

  auto* picker = new QWidget(content);
  QHBoxLayout* row = rowOf(picker);
  auto* label = new TintLabel(tr("App Store country"), TextStyle::body, std::nullopt, picker);
  row->addWidget(label);
  country_ = new QComboBox(picker);
  country_->setObjectName(QStringLiteral("settingsCountry"));
  country_->setMaximumWidth(kCountryMaxWidth);
  country_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (std::string_view code : SettingsPaneFacts::countryChoices) {
    country_->addItem(SettingsPaneFacts::countryName(code, ui::textLocale()),
                      QString::fromUtf8(code.data(), qsizetype(code.size())));
  }
  label->setBuddy(country_);
  connect(country_, &QComboBox::activated, this, [this](int index) {
    model_.setCountry(country_->itemData(index).toString().toStdString());
    refresh();
  });
  row->addWidget(country_);
  row->addStretch(1);
  stack->addWidget(picker);

  lastCheck_ = new TintLabel(QString(), TextStyle::callout, Tint::secondary, content);
  lastCheck_->setObjectName(QStringLiteral("settingsLastCheck"));
  stack->addWidget(lastCheck_);
  return new ui::Card(tr("Checking"), QStringLiteral("clock"), Tint::accent, content);
}

QWidget* SettingsPane::weeklyCard() {
  QWidget* content = viewblocks::stackWidget(ui::Card::contentSpacing);
  QVBoxLayout* stack = viewblocks::stackOf(content);
  weekly_ = toggle(tr("Send a notification once a week with the updates waiting"), "settingsWeekly",
                   content);
  connect(weekly_, &QCheckBox::clicked, this, [this](bool on) {
    // The box shows the saved setting, which changes only once the desktop
    // has answered the request for permission.
    model_.setWeeklyNotice(on);
    refresh();
  });
  stack->addWidget(weekly_);
  // This desktop has no per-app permission and no settings page for it:
  // notifications work when a notification service answers.
  stack->addWidget(
      (new TintLabel(tr("Larkvale asks the desktop's notification service when you turn this "
                        "on, not before. The first one comes a week later; weeks with nothing "
                        "waiting stay quiet. Larkvale needs to be running (Open at login)."),
                     TextStyle::callout, Tint::secondary, content))
          ->wrapping());
  notificationsOff_ = new QWidget(content);
  notificationsOff_->setObjectName(QStringLiteral("settingsNotificationsOff"));
  QHBoxLayout* row = rowOf(notificationsOff_);
  row->addWidget(labelSymbol("bell.slash", Tint::orange, notificationsOff_), 0, Qt::AlignTop);
  row->addWidget((new TintLabel(tr("Notifications are off for Larkvale: no notification service "
                                   "answered on this desktop."),
                                TextStyle::body, Tint::orange, notificationsOff_))
                     ->wrapping(),
                 1);
  stack->addWidget(notificationsOff_);
  return new ui::Card(tr("Weekly summary"), QStringLiteral("bell.badge"), Tint::pink, content);
}

QWidget* SettingsPane::handOffCard() {
  QWidget* content = viewblocks::stackWidget(ui::Card::contentSpacing);
  QVBoxLayout* stack = viewblocks::stackOf(content);
  stack->addWidget((new TintLabel(tr("For apps with a Sparkle feed, Open & Check for Updates "
                                     "opens the app. Where the desktop lets Larkvale press the "
                                     "app's own Check for Updates… item, it does; otherwise you "
                                     "choose that item yourself."),
                                  TextStyle::body, std::nullopt, content))
                       ->wrapping());
  // This desktop lets no app press another app's menus, so there is no
  // permission to grant and no settings page to send the user to.
  auto* status = new QWidget(content);
  QHBoxLayout* row = rowOf(status);
  trustSymbol_ = labelSymbol("checkmark.circle.fill", Tint::green, status);
  untrustSymbol_ = labelSymbol("circle", Tint::secondary, status);
  row->addWidget(trustSymbol_);
  row->addWidget(untrustSymbol_);
  trust_ = new TintLabel(QString(), TextStyle::body, Tint::secondary, status);
  trust_->setObjectName(QStringLiteral("settingsAccessibility"));
  row->addWidget(trust_, 1);
  stack->addWidget(status);
  stack->addWidget((new TintLabel(tr("On this desktop Larkvale can't press another app's menu "
                                     "items, so after Open & Check for Updates you choose Check "
                                     "for Updates… in the app yourself."),
                                  TextStyle::callout, Tint::secondary, content))
                       ->wrapping());
  return new ui::Card(tr("Press “Check for Updates…” for me"), QStringLiteral("hand.tap"),
                      Tint::purple, content);
}

QWidget* SettingsPane::sendsCard() {
  QWidget* content = viewblocks::stackWidget(6);
  auto add = [content](const QString& text, bool rich = false) {
    auto* label = (new TintLabel(text, TextStyle::body, std::nullopt, content))->wrapping();
    if (rich) label->rich();
    viewblocks::stackOf(content)->addWidget(label);
  };
  add(
      tr("• A GET to each app's own update feed (the address inside the app), at most one per "
         "server per second."));
  add(tr("• A lookup per App Store app to Apple (%1) with the app's bundle ID and your store "
         "country.")
          .arg(SettingsPaneFacts::appStoreLookupHost()));
  add(tr("• For apps that publish on GitHub, one unsigned request to %1 for the newest release "
         "(at most 40 a check, none after GitHub asks to wait; answers kept 6 hours).")
          .arg(SettingsPaneFacts::gitHubAPIHost()));
  add(viewblocks::richText(tr("• `brew info` and `brew outdated` on this Mac (read-only; "
                              "Homebrew isn't updated behind your back).")),
      true);
  add(tr("• For Larkvale itself: its own update check at %1 (about once a day).")
          .arg(SettingsPaneFacts::makerHost()));
  add(tr("• For More Mac Apps…, the list of the maker's other apps from %1.")
          .arg(SettingsPaneFacts::makerHost()));
  add(
      tr("Answers are saved for reuse (Check Now reuses ones under 15 minutes old, the daily "
         "check under 6 hours). Nothing about you, your Mac or your other apps is sent anywhere "
         "else."));
  viewblocks::stackOf(content)->addSpacing(ui::Card::contentSpacing - 6);
  auto* clear = new QPushButton(tr("Clear Saved Feeds"), content);
  clear->setObjectName(QStringLiteral("settingsClearFeeds"));
  connect(clear, &QPushButton::clicked, this, [this] { model_.clearSavedFeeds(); });
  viewblocks::stackOf(content)->addWidget(clear, 0, Qt::AlignLeft);
  return new ui::Card(tr("What Larkvale sends"), QStringLiteral("lock.shield"), Tint::blue,
                      content);
}

QWidget* SettingsPane::limitsCard() {
  QWidget* content = viewblocks::stackWidget(6);
  for (const QString& text :
       {tr("• Apps with no feed show as “No feed”, not as up to date. Their own updaters "
           "(Google's, Electron's, Microsoft's) still work as before."),
        tr("• Larkvale never installs direct apps silently, and can't start App Store installs "
           "(Apple doesn't allow it): it opens the page."),
        tr("• Apps that come with macOS update with macOS, not through Larkvale.")}) {
    viewblocks::stackOf(content)->addWidget(
        (new TintLabel(text, TextStyle::body, std::nullopt, content))->wrapping());
  }
  return new ui::Card(tr("Honest limits"), QStringLiteral("exclamationmark.bubble"), Tint::orange,
                      content);
}

void SettingsPane::refresh() {
  const Settings& settings = model_.state().settings;
  for (auto [box, on] :
       {std::pair{daily_, settings.dailyCheck}, std::pair{login_, model_.loginItemOn()},
        std::pair{weekly_, settings.weeklyNotice}}) {
    QSignalBlocker quiet(box);
    box->setChecked(on);
  }
  {
    // A saved code the pane doesn't offer stays as it is, shown by its code.
    QSignalBlocker quiet(country_);
    const QString code = QString::fromStdString(settings.country);
    country_->setCurrentIndex(country_->findData(code));
    country_->setPlaceholderText(shown::line(code.toUpper()));
  }
  std::optional<Date> last;
  if (model_.state().lastReport) last = model_.state().lastReport->date;
  lastCheck_->setText(SettingsPaneFacts::lastCheckText(last, ui::textLocale()));
  notificationsOff_->setVisible(model_.notificationsDenied());

  const bool trusted = model_.accessibilityTrusted();
  trustSymbol_->setVisible(trusted);
  untrustSymbol_->setVisible(!trusted);
  trust_->setText(trusted ? tr("Allowed") : tr("Not available on this desktop"));
  trust_->setTint(trusted ? Tint::green : Tint::secondary);
}

}  // namespace larkvale
