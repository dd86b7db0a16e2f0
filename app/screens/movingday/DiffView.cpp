#include "app/screens/movingday/DiffView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/DiffRows.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/movingday/StatsRow.h"
#include "app/ui/Card.h"
#include "app/ui/FittedListView.h"
#include "app/ui/PointerTracker.h"
#include "app/ui/SymbolButton.h"
#include "app/ui/TintLabel.h"

namespace larkvale::movingday {
namespace {

// A command in the monospaced face on a faint rounded box, wrapping onto at
// most three lines.
class CommandBox : public QLabel {
 public:
  CommandBox(const QString& command, QWidget* parent) : QLabel(command, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setFont(monoFont(ui::TextStyle::callout, font()));
    setContentsMargins(8, 4, 8, 4);
    setMaximumHeight(QFontMetrics(font()).lineSpacing() * 3 + 8);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    makeSelectable(this);
  }

  // As wide as the command on one line; narrower rows wrap it.
  QSize sizeHint() const override {
    const QMargins m = contentsMargins();
    const int width = fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 2;
    return {width, heightForWidth(width)};
  }
  QSize minimumSizeHint() const override { return {60, QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    {
      QPainter painter(this);
      painter.setRenderHint(QPainter::Antialiasing);
      QPainterPath box;
      box.addRoundedRect(QRectF(rect()), 6, 6);
      painter.fillPath(box, ui::Tints::withOpacity(palette().color(QPalette::WindowText), 0.06));
    }
    QLabel::paintEvent(event);
  }
};

// The folder's own name, written out as a path is.
QString fileName(const std::filesystem::path& folder) {
  std::filesystem::path name = folder.filename();
  if (name.empty()) name = folder.parent_path().filename();  // a trailing "/"
  return shownPath(name.native());
}

QWidget* column(int spacing) {
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return body;
}

}  // namespace

QString DiffView::sourceLine(const NewMacDiff& diff) {
  const MovingManifest& manifest = diff.manifest;
  // The template's Markdown bold becomes HTML; the values go in escaped, all
  // in one pass so that a value can't bring placeholders of its own.
  // A folder made where the system version isn't known has none to show.
  const bool version = !manifest.systemVersion.empty();
  QString pattern =
      (version ? tr("From **%1**, copied %2 (macOS %3) · %4") : tr("From **%1**, copied %2 · %3"))
          .toHtmlEscaped();
  for (bool open = true; pattern.contains(QLatin1String("**")); open = !open) {
    pattern.replace(pattern.indexOf(QLatin1String("**")), 2,
                    open ? QStringLiteral("<b>") : QStringLiteral("</b>"));
  }
  const QString mac = shownLine(manifest.macName).toHtmlEscaped();
  const QString created = dateTimeText(manifest.created).toHtmlEscaped();
  const QString folder = fileName(diff.folder).toHtmlEscaped();
  return version
             ? pattern.arg(mac, created, shownLine(manifest.systemVersion).toHtmlEscaped(), folder)
             : pattern.arg(mac, created, folder);
}

QString DiffView::alreadyHere(const NewMacDiff& diff) {
  QStringList entries;
  for (const NewMacDiff::AppLine& line : diff.presentApps) entries << shownLine(line.app.name);
  for (const NewMacDiff::SettingLine& line : diff.presentSettings) {
    entries << tr("%1 settings").arg(shownLine(line.setting.appName));
  }
  return entries.join(QStringLiteral(", "));
}

DiffView::DiffView(AppModel& model, const NewMacDiff& diff, QWidget* parent)
    : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("diffView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(14);

  auto* source = new QLabel(sourceLine(diff), this);
  source->setObjectName(QStringLiteral("diffSource"));
  source->setTextFormat(Qt::RichText);
  source->setWordWrap(true);
  ui::tintText(source, ui::Tint::secondary);
  makeSelectable(source);
  layout->addWidget(source);

  auto* stats = new StatsRow(this);
  stats->setObjectName(QStringLiteral("diffStats"));
  stats->setItems(
      {{QString::number(diff.missingApps.size()), tr("apps to install"), ui::Tint::orange},
       {QString::number(diff.olderApps.size()), tr("older here"), ui::Tint::yellow},
       {QString::number(diff.missingSettings.size()), tr("settings not here yet"), ui::Tint::teal},
       {QString::number(diff.presentApps.size() + diff.presentSettings.size()), tr("already here"),
        ui::Tint::green}});
  layout->addWidget(stats);

  const QString macName = shownLine(diff.manifest.macName);
  if (diff.isComplete()) {
    QLabel* text = textLabel(tr("Every app is installed at the same version or newer, and every "
                                "copied setting is in place."),
                             ui::TextStyle::body, nullptr);
    text->setWordWrap(true);
    auto* card = new ui::Card(tr("Everything from %1 is here").arg(macName),
                              QStringLiteral("checkmark.seal.fill"), ui::Tint::green, text, this);
    card->setObjectName(QStringLiteral("completeCard"));
    layout->addWidget(card);
  }
  if (!diff.missingApps.empty()) layout->addWidget(appsCard(diff));
  if (!diff.olderApps.empty()) layout->addWidget(olderCard(diff));
  if (!diff.missingSettings.empty()) layout->addWidget(settingsCard(diff));
  if (!diff.presentApps.empty() || !diff.presentSettings.empty()) {
    QLabel* text = textLabel(alreadyHere(diff), ui::TextStyle::body, nullptr, true);
    text->setObjectName(QStringLiteral("alreadyHereText"));
    text->setWordWrap(true);
    auto* card = new ui::Card(tr("Already here"), QStringLiteral("checkmark.circle"),
                              ui::Tint::green, text, this);
    card->setObjectName(QStringLiteral("alreadyHereCard"));
    layout->addWidget(card);
  }
}

QWidget* DiffView::appsCard(const NewMacDiff& diff) {
  QWidget* body = column(8);
  if (std::optional<std::string> command = diff.brewInstallCommand()) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    auto* box = new CommandBox(shownLine(*command), body);
    box->setObjectName(QStringLiteral("brewCommand"));
    auto* copy = new QToolButton(body);
    copy->setObjectName(QStringLiteral("copyBrewCommand"));
    copy->setAutoRaise(true);
    ui::setButtonSymbol(copy, QStringLiteral("doc.on.doc"));
    copy->setAccessibleName(tr("Copy the brew command"));
    copy->setToolTip(copy->accessibleName());
    connect(copy, &QToolButton::clicked, this,
            [this, text = *command] { model_.copyCommand(text); });
    row->addWidget(box);
    row->addWidget(copy, 0, Qt::AlignVCenter);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(body->layout())->addLayout(row);
  }
  auto* list = new ui::FittedListView(body);
  list->setObjectName(QStringLiteral("missingApps"));
  auto* appRows = new DiffRowDelegate(model_, DiffRowDelegate::Kind::apps, list);
  list->setItemDelegate(appRows);
  list->setRowControls(appRows);
  ui::PointerTracker::track(list);
  list->setModel(new MissingAppsModel(diff.missingApps, list));
  body->layout()->addWidget(list);
  auto* card = new ui::Card(tr("Apps to install (%1)").arg(diff.missingApps.size()),
                            QStringLiteral("arrow.down.app"), ui::Tint::orange, body, this);
  card->setObjectName(QStringLiteral("appsCard"));
  return card;
}

QWidget* DiffView::olderCard(const NewMacDiff& diff) {
  QStringList lines;
  for (const NewMacDiff::AppLine& line : diff.olderApps) {
    lines << tr("%1: %2 here, %3 there. The Updates list offers the update.")
                 .arg(shownLine(line.app.name),
                      line.installed ? shownLine(*line.installed) : QStringLiteral("?"),
                      shownLine(line.app.version));
  }
  QLabel* text = textLabel(lines.join(QLatin1Char('\n')), ui::TextStyle::body, nullptr);
  text->setObjectName(QStringLiteral("olderLines"));
  text->setWordWrap(true);
  auto* card = new ui::Card(
      tr("Older here than on %1 (%2)")
          .arg(shownLine(diff.manifest.macName), QString::number(diff.olderApps.size())),
      QStringLiteral("clock.arrow.circlepath"), ui::Tint::yellow, text, this);
  card->setObjectName(QStringLiteral("olderCard"));
  return card;
}

QWidget* DiffView::settingsCard(const NewMacDiff& diff) {
  QWidget* body = column(8);
  QLabel* how = textLabel(tr("With the app installed and quit, drag the copy into place (in the "
                             "file manager, press Ctrl+L and paste the path)."),
                          ui::TextStyle::callout, body, true);
  how->setWordWrap(true);
  body->layout()->addWidget(how);
  auto* list = new ui::FittedListView(body);
  list->setObjectName(QStringLiteral("missingSettings"));
  auto* settingRows = new DiffRowDelegate(model_, DiffRowDelegate::Kind::settings, list);
  list->setItemDelegate(settingRows);
  list->setRowControls(settingRows);
  ui::PointerTracker::track(list);
  list->setModel(new MissingSettingsModel(diff.missingSettings, list));
  body->layout()->addWidget(list);
  auto* card =
      new ui::Card(tr("Settings not here yet (%1)").arg(diff.missingSettings.size()),
                   QStringLiteral("folder.badge.questionmark"), ui::Tint::teal, body, this);
  card->setObjectName(QStringLiteral("settingsCard"));
  return card;
}

}  // namespace larkvale::movingday
