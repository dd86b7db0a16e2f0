#include "app/screens/updates/UpdateDetail.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/model/ShownText.h"
#include "app/screens/updates/ButtonFlowLayout.h"
#include "app/screens/updates/Labels.h"
#include "app/screens/updates/StatusChip.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/UpdateDates.h"
#include "app/screens/updates/UpdatesEmptyView.h"
#include "app/ui/AppIcon.h"
#include "app/ui/Card.h"
#include "app/ui/Chip.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/SourceLook.h"
#include "app/ui/TintLabel.h"
#include "kit/model/OwnApp.h"

namespace larkvale {
namespace {

// Every value read from an app, a feed or a source reaches the page through
// here, on one line; notes, the hold's note and paths have forms of their own.
QString text(const std::string& utf8) {
  return shown::line(utf8);
}

QString tr(const char* source) {
  return QCoreApplication::translate("UpdateDetail", source);
}

QWidget* column(QWidget* parent, int spacing) {
  auto* widget = new QWidget(parent);
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return widget;
}

// Selectable by mouse and, once Tab has reached it, by keyboard: Ctrl+A
// and Ctrl+C copy it.
QLabel* wrapping(QLabel* label, const char* name) {
  label->setObjectName(QLatin1String(name));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  label->setFocusPolicy(Qt::StrongFocus);
  return label;
}

QWidget* header(const AppState& state, const AppUpdate& update, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(12);
  auto* icon = new ui::AppIcon(QString::fromStdString(update.app.path), 44, row);
  icon->setObjectName(QStringLiteral("detailIcon"));
  auto* names = new QVBoxLayout;
  names->setSpacing(3);
  // A long name wraps to two lines and is cut off there, never pushing the
  // chip off the page.
  auto* name = new ui::ClampedLabel(text(update.app.name), 2, row);
  name->setFont(ui::Fonts::font(ui::TextStyle::title2, name->font(), QFont::Bold));
  name->setObjectName(QStringLiteral("detailName"));
  auto* versions =
      new ui::TintLabel(UpdateDetailText::versionLine(update), ui::Tint::secondary, row);
  versions->setObjectName(QStringLiteral("detailVersions"));
  versions->setWordWrap(true);
  names->addWidget(name);
  names->addWidget(versions);
  ui::Chip* chip = StatusChip::make(state, update, row);
  chip->setObjectName(QStringLiteral("detailStatus"));
  layout->addWidget(icon);
  layout->addLayout(names, 1);
  layout->addWidget(chip);
  return row;
}

QWidget* holdCard(const Hold& hold, QWidget* parent) {
  const QString title =
      tr("On hold since %1")
          .arg(AbbreviatedDates(AbbreviatedDates::Place::inSentence).format(hold.since));
  QString reason = hold.reason.empty() ? tr("No reason given.") : shown::lines(hold.reason);
  auto* card = new ui::Card(title, QStringLiteral("pause.circle"), ui::Tint::gray,
                            wrapping(plainLabel(reason), "holdReason"), parent);
  card->setObjectName(QStringLiteral("holdCard"));
  return card;
}

QWidget* notesCard(const AppUpdate& update, QWidget* parent) {
  const QString title = update.latestVersion
                            ? tr("Release notes for %1").arg(text(*update.latestVersion))
                            : tr("Release notes");
  auto* card =
      new ui::Card(title, QStringLiteral("doc.text"), ui::Tint::accent,
                   wrapping(plainLabel(shown::lines(update.notes.value_or(""))), "notes"), parent);
  card->setObjectName(QStringLiteral("notesCard"));
  return card;
}

QWidget* sourceCard(const AppUpdate& update, QWidget* parent) {
  QWidget* lines = column(nullptr, 4);
  lines->layout()->addWidget(
      wrapping(plainLabel(UpdateDetailText::sourceDescription(update)), "sourceDescription"));
  for (const auto& [value, name] :
       {std::pair{shown::path(std::string_view(update.app.path)), "bundlePath"},
        std::pair{text(update.app.bundleID), "bundleID"}}) {
    auto* label = new ui::TintLabel(value, ui::Tint::secondary);
    QFont font = ui::Fonts::font(ui::TextStyle::caption, label->font());
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    label->setFont(font);
    lines->layout()->addWidget(wrapping(label, name));
  }
  SourceLook::Look look = SourceLook::of(update.source);
  auto* card = new ui::Card(tr("Where updates come from"), look.symbol, look.tint, lines, parent);
  card->setObjectName(QStringLiteral("sourceCard"));
  return card;
}

// The page a button of which may be running its click right now: it goes
// once control is back in the event loop.
void retire(QWidget* page) {
  if (!page) return;
  page->hide();
  page->deleteLater();
}

}  // namespace

namespace UpdateDetailText {

QString versionLine(const AppUpdate& update) {
  const QString installed = text(update.app.version);
  if (!update.latestVersion) return tr("%1 installed").arg(installed);
  const QString latest = text(*update.latestVersion);
  if (update.hasUpdate()) return tr("%1 installed · %2 available").arg(installed, latest);
  return tr("%1 installed · latest %2").arg(installed, latest);
}

QString sourceDescription(const AppUpdate& update) {
  const UpdateSource& source = update.source;
  const std::optional<std::string>& updater = update.app.selfUpdater;
  switch (source.kind()) {
    case UpdateSource::Kind::sparkle: {
      const QUrl feed(QString::fromStdString(source.payload()));
      const QString host =
          feed.host().isEmpty() ? text(source.payload()) : shown::line(feed.host());
      if (OwnApp::isOwn(update.app.bundleID)) {
        return tr("Larkvale's own update feed at %1. Check for Updates… shows the new version's "
                  "page; Larkvale never installs itself.")
            .arg(host);
      }
      return tr("The app's own Sparkle feed at %1. Updates install through the app's own "
                "updater.")
          .arg(host);
    }
    case UpdateSource::Kind::homebrew:
      return (update.caskAutoUpdates
                  ? tr("Homebrew cask “%1” (the app also updates itself). Upgrading runs brew in "
                       "a terminal window, after you press Return.")
                  : tr("Homebrew cask “%1”. Upgrading runs brew in a terminal window, after you "
                       "press Return."))
          .arg(text(source.payload()));
    case UpdateSource::Kind::github:
      return (updater ? tr("The newest release on GitHub (%1), asked without signing in and saved "
                           "for 6 hours. You download and install it yourself, or let %2 do it.")
                            .arg(text(source.payload()), text(*updater))
                      : tr("The newest release on GitHub (%1), asked without signing in and saved "
                           "for 6 hours. You download and install it yourself.")
                            .arg(text(source.payload())));
    case UpdateSource::Kind::appStore:
      return tr("The Mac App Store. Updates install from the App Store app.");
    case UpdateSource::Kind::apple:
      return tr("Comes with macOS and updates with macOS itself.");
    case UpdateSource::Kind::unknown:
      break;
  }
  if (updater) return tr("No feed Larkvale can read. It updates with %1.").arg(text(*updater));
  return tr("No update feed found. Larkvale doesn't guess: check the developer's website.");
}

}  // namespace UpdateDetailText

UpdateDetail::UpdateDetail(AppModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      pages_(new QStackedWidget(this)),
      hint_(new UpdatesEmptyView(pages_)),
      scroll_(new QScrollArea(pages_)) {
  hint_->setObjectName(QStringLiteral("selectHint"));
  hint_->setContent(QStringLiteral("app.badge"), tr("Select an app"),
                    tr("Its versions, release notes and update buttons show here."));
  scroll_->setObjectName(QStringLiteral("detailScroll"));
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pages_->addWidget(hint_);
  pages_->addWidget(scroll_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  connect(&model_, &AppModel::stateChanged, this, &UpdateDetail::refreshSoon);
  connect(&model_, &AppModel::selectionChanged, this, &UpdateDetail::refreshSoon);
  connect(&model_, &AppModel::accessibilityTrustedChanged, this, &UpdateDetail::refreshSoon);
  refresh();
}

void UpdateDetail::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) refresh();
}

void UpdateDetail::refreshSoon() {
  if (!isVisible() && window()->isVisible()) {
    stale_ = true;
    return;
  }
  refresh();
}

void UpdateDetail::refresh() {
  stale_ = false;
  const std::optional<AppUpdate> update = model_.selectedUpdate();
  if (!update) {
    shownPath_.clear();
    pages_->setCurrentWidget(hint_);
    // "Select an app" has nothing to ask for under "No apps found".
    const auto& report = model_.state().lastReport;
    hint_->setVisible(!(report && report->updates.empty()));
    retire(scroll_->takeWidget());
    return;
  }
  // The same app rebuilt after a change keeps its place in the page.
  const int scrolled = update->app.path == shownPath_ ? scroll_->verticalScrollBar()->value() : 0;
  retire(scroll_->takeWidget());
  scroll_->setWidget(build(*update));
  pages_->setCurrentWidget(scroll_);
  scroll_->verticalScrollBar()->setValue(scrolled);
  shownPath_ = update->app.path;
}

QWidget* UpdateDetail::build(const AppUpdate& update) {
  const AppState& state = model_.state();
  QWidget* page = column(nullptr, 14);
  page->setObjectName(QStringLiteral("detailPage"));
  auto* layout = static_cast<QVBoxLayout*>(page->layout());
  layout->setContentsMargins(18, 18, 18, 18);
  layout->addWidget(header(state, update, page));

  auto* actions = new QWidget(page);
  actions->setObjectName(QStringLiteral("detailActions"));
  UpdateActions::addButtons(model_, update, new ButtonFlowLayout(8, actions), actions);
  layout->addWidget(actions);

  if (auto hold = state.holds.find(update.app.bundleID); hold != state.holds.end()) {
    layout->addWidget(holdCard(hold->second, page));
  }
  if (update.remark) {
    layout->addWidget(ui::symbolLine(QStringLiteral("remark"), QStringLiteral("info.circle"),
                                     text(*update.remark), ui::Tint::secondary, ui::TextStyle::body,
                                     page));
  }
  if (update.status.kind() == UpdateStatus::Kind::notChecked) {
    layout->addWidget(
        ui::symbolLine(QStringLiteral("checkFailure"), QStringLiteral("exclamationmark.triangle"),
                       text(update.status.reason()), ui::Tint::orange, ui::TextStyle::body, page));
  }
  if (update.notes) layout->addWidget(notesCard(update, page));
  layout->addWidget(sourceCard(update, page));
  layout->addStretch(1);
  return page;
}

}  // namespace larkvale
