#include "app/screens/updates/UpdateActions.h"

#include <QCoreApplication>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

#include "app/ui/OwnFeed.h"
#include "app/ui/Symbols.h"
#include "kit/model/OwnApp.h"
#include "kit/sources/GitHubRepos.h"

namespace larkvale::UpdateActions {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("UpdateActions", text);
}

// What every control of one update needs to decide and to act.
struct Facts {
  AppModel& model;
  const AppUpdate& update;
  bool compact;
  AppState::Effective effective;
  bool available;
};

Action action(const char* key, QString label, const char* symbol, std::function<void()> trigger) {
  Action out;
  out.key = QString::fromLatin1(key);
  out.label = std::move(label);
  out.symbol = QString::fromLatin1(symbol);
  out.trigger = std::move(trigger);
  return out;
}

std::function<void()> openUpdater(AppModel& model, const AppUpdate& update) {
  // The hand-off reports through the notice; its answer is not needed here.
  return [&model, update] { model.openOwnUpdater(update); };
}

std::function<void()> open(AppModel& model, std::string url) {
  return [&model, url = std::move(url)] { model.openLink(url); };
}

void addSparkle(const Facts& f, std::vector<Action>& out) {
  const AppUpdate& u = f.update;
  if (OwnApp::isOwn(u.app.bundleID)) {
    Action check = action("checkForUpdates", tr("Check for Updates…"), "arrow.down.app",
                          openUpdater(f.model, u));
    check.help =
        tr("Larkvale's own update check asks %1 and shows the new version's page; it never "
           "installs itself")
            .arg(ownFeedHost());
    out.push_back(std::move(check));
  } else {
    Action check = action("openAndCheck", tr("Open & Check for Updates"), "arrow.down.app",
                          openUpdater(f.model, u));
    check.help = f.model.accessibilityTrusted()
                     ? tr("Opens the app and presses its Check for Updates… item")
                     : tr("Opens the app; then choose Check for Updates… in its menu");
    out.push_back(std::move(check));
    if (u.downloadURL && f.available) {
      out.push_back(action("downloadInBrowser", tr("Download in Browser"), "safari",
                           open(f.model, *u.downloadURL)));
    }
  }
  if (u.notesURL) {
    out.push_back(
        action("releaseNotes", tr("Release Notes"), "doc.text", open(f.model, *u.notesURL)));
  }
}

void addSourceGroup(const Facts& f, std::vector<Action>& out) {
  const AppUpdate& u = f.update;
  AppModel& model = f.model;
  switch (u.source.kind()) {
    case UpdateSource::Kind::sparkle:
      addSparkle(f, out);
      break;
    case UpdateSource::Kind::homebrew: {
      Action upgrade =
          action("upgradeInTerminal", tr("Upgrade in Terminal…"), "terminal",
                 [&model, u] { model.upgradeInTerminal({u}, AppModel::UpgradeFrom::caskPage); });
      upgrade.enabled = f.available;
      upgrade.help = tr(
          "Opens a terminal window showing the brew command; it runs only when you press Return");
      out.push_back(std::move(upgrade));
      out.push_back(action("copyCommand", tr("Copy Command"), "doc.on.doc",
                           [&model, u] { model.copyBrewCommand({u}); }));
      break;
    }
    case UpdateSource::Kind::github: {
      std::optional<std::string> page = releasePage(u);
      out.push_back(action("openReleasePage", tr("Open Release Page"), "arrow.triangle.branch",
                           [&model, page] {
                             if (page) model.openLink(*page);
                           }));
      if (u.downloadURL && f.available && u.downloadURL != u.notesURL) {
        out.push_back(action("downloadInBrowser", tr("Download in Browser"), "safari",
                             open(model, *u.downloadURL)));
      }
      out.push_back(
          action("openApp", tr("Open App"), "arrow.up.forward.app", openUpdater(model, u)));
      break;
    }
    case UpdateSource::Kind::appStore: {
      std::optional<std::string> store = u.storeURL();
      Action show = action("openInAppStore", tr("Open in App Store"), "bag",
                           open(model, store.value_or(std::string())));
      show.enabled = store.has_value();
      out.push_back(std::move(show));
      break;
    }
    case UpdateSource::Kind::apple:
      // Apps that come with macOS update with the system; this desktop has
      // no page for that to open, so the group stays empty.
      break;
    case UpdateSource::Kind::unknown:
      out.push_back(
          action("openApp", tr("Open App"), "arrow.up.forward.app", openUpdater(model, u)));
      break;
  }
  const auto kind = u.source.kind();
  const bool canBeProminent =
      kind != UpdateSource::Kind::apple && kind != UpdateSource::Kind::unknown;
  if (canBeProminent && !out.empty()) {
    out.front().prominent = f.effective == AppState::Effective::update && !f.compact;
  }
}

void addDecisions(const Facts& f, std::vector<Action>& out) {
  const AppUpdate& u = f.update;
  AppModel& model = f.model;
  if (f.available && f.effective == AppState::Effective::update) {
    out.push_back(action("skipVersion", tr("Skip This Version"), "forward",
                         [&model, u] { model.skipVersion(u); }));
  }
  if (f.effective == AppState::Effective::skipped) {
    out.push_back(action("offerAgain", tr("Offer Again"), "arrow.uturn.backward",
                         [&model, u] { model.unskip(u); }));
  }
  if (model.state().holds.contains(u.app.bundleID)) {
    out.push_back(action("releaseHold", tr("Release Hold"), "play.circle",
                         [&model, u] { model.releaseHold(u); }));
  } else if (u.source.kind() != UpdateSource::Kind::apple) {
    Action hold =
        action("hold", tr("Hold…"), "pause.circle", [&model, u] { model.setHoldRequest(u); });
    hold.help = tr("Never offer updates for this app, with a note why");
    out.push_back(std::move(hold));
  }
}

}  // namespace

QString withoutMnemonic(QString label) {
  return label.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

std::vector<Action> actions(AppModel& model, const AppUpdate& update, bool compact) {
  Facts facts{model, update, compact, model.state().effective(update), update.hasUpdate()};
  std::vector<Action> out;
  addSourceGroup(facts, out);
  if (compact || update.source.kind() != UpdateSource::Kind::apple) addDecisions(facts, out);
  std::filesystem::path path(update.app.path);
  out.push_back(action("showInFileManager", tr("Show in File Manager"), "folder",
                       [&model, path] { model.reveal(path); }));
  return out;
}

std::optional<std::string> releasePage(const AppUpdate& update) {
  if (update.notesURL) return update.notesURL;
  if (std::optional<std::string> repo = update.githubRepo())
    return GitHubReleases::releasesPage(*repo);
  return std::nullopt;
}

QString ownFeedHost() {
  return QUrl(QString::fromStdString(OwnFeed::defaultURL())).host();
}

void makeProminent(QPushButton* button) {
  button->setProperty("prominent", true);
  button->setStyleSheet(QStringLiteral(
      "QPushButton { background-color: palette(highlight); color: palette(highlighted-text);"
      " border: 1px solid palette(highlight); border-radius: 5px; padding: 4px 12px; }"
      "QPushButton:pressed { background-color: palette(dark); border-color: palette(dark); }"
      "QPushButton:disabled { background-color: palette(mid); border-color: palette(mid); }"));
}

void setSymbol(QPushButton* button, const QString& symbol) {
  const QPalette& palette = button->palette();
  const bool prominent = button->property("prominent").toBool();
  QColor colour = palette.color(prominent ? QPalette::HighlightedText : QPalette::ButtonText);
  int size = button->fontMetrics().height();
  button->setIcon(
      ui::Symbols::tinted(symbol.toStdString(), colour, size, button->devicePixelRatioF()));
  button->setIconSize(QSize(size, size));
}

std::vector<QPushButton*> addButtons(AppModel& model, const AppUpdate& update, QLayout* row,
                                     QWidget* parent) {
  std::vector<QPushButton*> buttons;
  for (Action& a : actions(model, update, false)) {
    auto* button = new QPushButton(withoutMnemonic(a.label), parent);
    button->setObjectName(a.key);
    button->setEnabled(a.enabled);
    button->setToolTip(a.help);
    if (a.prominent) makeProminent(button);
    setSymbol(button, a.symbol);
    QObject::connect(button, &QPushButton::clicked, button, std::move(a.trigger));
    row->addWidget(button);
    buttons.push_back(button);
  }
  return buttons;
}

void addToMenu(AppModel& model, const AppUpdate& update, QMenu* menu) {
  menu->setToolTipsVisible(true);
  const QColor colour = menu->palette().color(QPalette::WindowText);
  const int size = menu->fontMetrics().height();
  for (Action& a : actions(model, update, true)) {
    QAction* item = menu->addAction(withoutMnemonic(a.label));
    item->setObjectName(a.key);
    item->setEnabled(a.enabled);
    if (!a.help.isEmpty()) item->setToolTip(a.help);
    item->setIcon(
        ui::Symbols::tinted(a.symbol.toStdString(), colour, size, menu->devicePixelRatioF()));
    QObject::connect(item, &QAction::triggered, menu, std::move(a.trigger));
  }
}

}  // namespace larkvale::UpdateActions
