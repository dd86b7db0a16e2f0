#include "app/screens/updates/HelpView.h"

#include <QKeySequence>
#include <QVBoxLayout>

#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/Card.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/TintLabel.h"
#include "app/window/MoreAppsCatalogue.h"

namespace larkvale {
namespace {

using ui::TextStyle;
using ui::Tint;
using ui::TintLabel;

QWidget* texts(const QStringList& paragraphs) {
  QWidget* content = viewblocks::stackWidget(6);
  for (const QString& paragraph : paragraphs) {
    auto* label =
        (new TintLabel(viewblocks::richText(paragraph), TextStyle::body, std::nullopt, content))
            ->wrapping()
            ->rich();
    label->setObjectName(QStringLiteral("helpText"));
    viewblocks::stackOf(content)->addWidget(label);
  }
  return content;
}

}  // namespace

HelpView::HelpView(pennant::MoreAppsCatalogue& catalogue, QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("helpView"));
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->setSpacing(16);
  layout->addWidget(new ui::PaneHeader(
      tr("Larkvale Help"),
      tr("Every app update in one place, and a checklist for moving to a new Mac."), page));

  auto card = [&](const QString& title, const char* symbol, Tint tint,
                  const QStringList& paragraphs) {
    auto* box = new ui::Card(title, QLatin1String(symbol), tint, texts(paragraphs), page);
    layout->addWidget(box);
  };
  card(tr("Updates"), "arrow.down.circle", Tint::accent,
       {tr("Check Now (%1) lists the apps in /Applications and ~/Applications and asks where each "
           "one's updates come from:")
            .arg(QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText)),
        tr("• **Sparkle feed**: the app's own appcast. Open & Check for Updates opens the app so "
           "its updater installs the new version."),
        tr("• **Homebrew cask**: Upgrade in Terminal opens a terminal window showing the brew "
           "command; it runs when you press Return."),
        tr("• **GitHub releases**: for apps that name their GitHub repository (or are on "
           "Larkvale's list). Open Release Page; you download and install."),
        tr("• **App Store**: Open in App Store shows the app's page, where Update installs it."),
        tr("**Update All That Are Safe…** lists the Sparkle and Homebrew updates waiting. Untick "
           "any, press Start, and each one is handed off in turn: the app opens for its own "
           "updater, and all casks share one terminal window you start. Press Next when one is "
           "done. App Store and GitHub updates are never part of it."),
        tr("• **macOS** and **No feed**: Apple's apps update with macOS; for the rest, check the "
           "developer's site.")});
  card(tr("Skip and hold"), "pause.circle", Tint::gray,
       {tr("Skip This Version hides one version; a newer one is offered again. Hold… stops offers "
           "for an app until you release it, with a note saying why. Both are listed under "
           "Skipped & Held.")});
  card(tr("Moving day"), "shippingbox", Tint::teal,
       {tr("Inventory lists every app with where it came from, where its settings live and what "
           "to do about its licence. Restore Checklist puts the new Mac's steps in order with tick "
           "boxes. Export saves both as Markdown or PDF; keep that file off the old Mac. Copy "
           "Settings copies the Preferences and Application Support items you tick to a folder "
           "you choose (a drive), with a manifest. On the new Mac, New Mac Check opens that "
           "folder and lists the apps and settings still missing. Licence files, caches and "
           "containers are left out; licence keys and Keychain items are never read or "
           "exported.")});
  card(tr("Tray"), "menubar.rectangle", Tint::purple,
       {tr("The arrow in the tray shows how many updates are waiting. Turn on Settings › Open "
           "at login so the daily check keeps running.")});
  card(tr("Larkvale's own updates"), "key", Tint::green,
       {tr("Larkvale checks for its own updates: Larkvale › Check for Updates… (it also checks "
           "about once a day) and shows the new version's page; it never installs itself. Its own "
           "row in the list uses that too, and it's never part of Update All That Are Safe.")});
  layout->addWidget(makeMoreAppsFooter(catalogue, page));
  layout->addStretch(1);
  setWidget(page);
}

}  // namespace larkvale
