#include "app/screens/movingday/DiffRows.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/PlainTip.h"
#include "app/ui/PointerTracker.h"
#include "kit/sources/GitHubRepos.h"

namespace larkvale::movingday {
namespace {

constexpr int kRowPadding = 4;
constexpr int kSpacing = 8;

QStyle* styleOf(const QStyleOptionViewItem& option) {
  return option.widget ? option.widget->style() : QApplication::style();
}

int rowWidth(const QStyleOptionViewItem& option) {
  if (option.rect.width() > 0) return option.rect.width();
  if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
    return view->viewport()->width();
  }
  return 400;
}

QFont mediumFont(const QFont& base) {
  QFont font = base;
  font.setWeight(QFont::Medium);
  return font;
}

QStyleOptionButton pushButton(const QStyleOptionViewItem& option, const QRect& rect,
                              ui::ControlLook look = ui::ControlLook::normal) {
  QStyleOptionButton button;
  button.rect = rect;
  button.text = DiffRowDelegate::tr("Show Copy");
  button.state = ui::buttonState(look);
  button.palette = option.palette;
  button.fontMetrics = option.fontMetrics;
  return button;
}

QSize pushButtonSize(const QStyleOptionViewItem& option) {
  QStyleOptionButton button = pushButton(option, {});
  const QSize text(option.fontMetrics.horizontalAdvance(button.text), option.fontMetrics.height());
  return styleOf(option)->sizeFromContents(QStyle::CT_PushButton, &button, text, option.widget);
}

}  // namespace

std::optional<AppLink> appLink(const MovingManifest::App& app) {
  if (std::optional<std::string> store = app.appStoreURL()) {
    return AppLink{DiffRowDelegate::tr("Open in App Store"), *store};
  }
  if (!app.githubRepo) return std::nullopt;
  if (std::optional<std::string> page = GitHubReleases::releasesPage(*app.githubRepo)) {
    return AppLink{DiffRowDelegate::tr("Releases Page"), *page};
  }
  return std::nullopt;
}

MissingAppsModel::MissingAppsModel(std::vector<NewMacDiff::AppLine> lines, QObject* parent)
    : QAbstractListModel(parent), lines_(std::move(lines)) {}

int MissingAppsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant MissingAppsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
  const MovingManifest::App& app = lines_[static_cast<size_t>(index.row())].app;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return shownLine(app.name) + QLatin1Char(' ') + shownLine(app.version);
    case installRole:
      return shownLine(app.installHow);
    case buttonRole:
      if (auto link = appLink(app)) return link->label;
      return {};
    case urlRole:
      if (auto link = appLink(app)) return qs(link->url);
      return {};
  }
  return {};
}

MissingSettingsModel::MissingSettingsModel(std::vector<NewMacDiff::SettingLine> lines,
                                           QObject* parent)
    : QAbstractListModel(parent), lines_(std::move(lines)) {}

QString MissingSettingsModel::caption(const MovingManifest::Setting& setting) {
  if (!setting.isFolder) return shownLine(setting.appName);
  return tr("%1 · %2 files").arg(shownLine(setting.appName), QString::number(setting.files));
}

int MissingSettingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant MissingSettingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
  const NewMacDiff::SettingLine& line = lines_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return shownPath(line.setting.tildePath);
    case Qt::ToolTipRole:
      return ui::plainTip(shownPath(line.setting.tildePath));
    case captionRole:
      return caption(line.setting);
    case copyRole:
      // Only a copy that is in the folder can be shown.
      if (line.copy && line.copyExists) return QFile::decodeName(line.copy->string().c_str());
      return {};
    case pathRole:
      return QString::fromStdString(line.setting.tildePath);
  }
  return {};
}

DiffRowDelegate::DiffRowDelegate(AppModel& model, Kind kind, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), kind_(kind) {}

QSize DiffRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  if (kind_ == Kind::apps) {
    return {rowWidth(option), option.fontMetrics.height() + 2 * kRowPadding};
  }
  const QFont mono = monoFont(ui::TextStyle::callout, option.font);
  const QFont caption = ui::Fonts::font(ui::TextStyle::caption, option.font);
  const int texts = QFontMetrics(mono).height() + 1 + QFontMetrics(caption).height();
  return {rowWidth(option), std::max(texts, pushButtonSize(option).height()) + 2 * kRowPadding};
}

QRect DiffRowDelegate::buttonRect(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QRect row = option.rect;
  if (kind_ == Kind::apps) {
    const QString label = index.data(MissingAppsModel::buttonRole).toString();
    if (label.isEmpty()) return {};
    const int width = option.fontMetrics.horizontalAdvance(label) + 1;
    return QRect(row.right() + 1 - width, row.top() + kRowPadding, width,
                 option.fontMetrics.height());
  }
  if (index.data(MissingSettingsModel::copyRole).toString().isEmpty()) return {};
  const QSize size = pushButtonSize(option);
  return QRect(row.right() + 1 - size.width(), row.top() + (row.height() - size.height()) / 2,
               size.width(), size.height());
}

QRect DiffRowDelegate::buttonRect(const QAbstractItemView* view, const QModelIndex& index) const {
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.widget = view;
  option.font = view->font();
  option.fontMetrics = QFontMetrics(option.font);
  option.rect = view->visualRect(index);
  return buttonRect(option, index);
}

void DiffRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  painter->save();
  if (kind_ == Kind::apps) {
    paintApp(painter, option, index);
  } else {
    paintSetting(painter, option, index);
  }
  painter->restore();
}

void DiffRowDelegate::paintApp(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const QRect button = buttonRect(option, index);
  const int right = button.isEmpty() ? option.rect.right() : button.left() - kSpacing;
  const QRect line(option.rect.left(), option.rect.top() + kRowPadding, right - option.rect.left(),
                   option.fontMetrics.height());
  const QFont name = mediumFont(option.font);
  const QFontMetrics nameMetrics(name);
  const QString title = nameMetrics.elidedText(index.data().toString(), Qt::ElideRight,
                                               std::max(0, line.width() * 2 / 3));
  painter->setFont(name);
  painter->setPen(option.palette.color(QPalette::Text));
  painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
  const int x = line.left() + nameMetrics.horizontalAdvance(title) + kSpacing;
  const QRect install(x, line.top(), std::max(0, line.right() - x), line.height());
  painter->setFont(option.font);
  painter->setPen(ui::Tints::secondaryText(option.palette));
  painter->drawText(
      install, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
      option.fontMetrics.elidedText(index.data(MissingAppsModel::installRole).toString(),
                                    Qt::ElideRight, install.width()));
  if (button.isEmpty()) return;
  ui::paintLink(painter, button, index.data(MissingAppsModel::buttonRole).toString(),
                option.palette, ui::PointerTracker::look(option.widget, button));
}

void DiffRowDelegate::paintSetting(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QRect button = buttonRect(option, index);
  const QString missing = tr("Copy missing from the folder");
  const QFont caption = ui::Fonts::font(ui::TextStyle::caption, option.font);
  const QFontMetrics captionMetrics(caption);
  if (button.isEmpty()) {
    const int width = captionMetrics.horizontalAdvance(missing) + 1;
    button = QRect(option.rect.right() + 1 - width, option.rect.top(), width, option.rect.height());
    painter->setFont(caption);
    painter->setPen(ui::Tints::color(ui::Tint::orange, option.palette));
    painter->drawText(button, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, missing);
  } else {
    QStyleOptionButton push =
        pushButton(option, button, ui::PointerTracker::look(option.widget, button));
    styleOf(option)->drawControl(QStyle::CE_PushButton, &push, painter, option.widget);
  }
  const QFont mono = monoFont(ui::TextStyle::callout, option.font);
  const QFontMetrics monoMetrics(mono);
  const int width = std::max(0, button.left() - kSpacing - option.rect.left());
  const QRect path(option.rect.left(), option.rect.top() + kRowPadding, width,
                   monoMetrics.height());
  painter->setFont(mono);
  painter->setPen(option.palette.color(QPalette::Text));
  painter->drawText(path, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    monoMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, width));
  const QRect below(path.left(), path.bottom() + 2, width, captionMetrics.height());
  painter->setFont(caption);
  painter->setPen(ui::Tints::secondaryText(option.palette));
  painter->drawText(
      below, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
      captionMetrics.elidedText(index.data(MissingSettingsModel::captionRole).toString(),
                                Qt::ElideRight, width));
}

bool DiffRowDelegate::editorEvent(QEvent* event, QAbstractItemModel*,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::MouseButtonRelease) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return false;
  const QRect button = buttonRect(option, index);
  if (button.isEmpty() || !button.contains(mouse->position().toPoint())) return false;
  press(index);
  return true;
}

void DiffRowDelegate::press(const QModelIndex& index) const {
  if (kind_ == Kind::apps) {
    model_.openLink(index.data(MissingAppsModel::urlRole).toString().toStdString());
  } else {
    model_.reveal(
        QFile::encodeName(index.data(MissingSettingsModel::copyRole).toString()).toStdString());
  }
}

std::vector<ui::RowControls::Control> DiffRowDelegate::controls(const QAbstractItemView* view,
                                                                const QModelIndex& index) const {
  const QRect button = buttonRect(view, index);
  if (button.isEmpty()) return {};
  const QString name = kind_ == Kind::apps
                           ? tr("%1: %2").arg(index.data(MissingAppsModel::buttonRole).toString(),
                                              index.data().toString())
                           : tr("Show Copy of %1").arg(index.data().toString());
  return {{button, name, [this, index = QPersistentModelIndex(index)] { press(index); }}};
}

std::vector<ui::RowControls::CopyText> DiffRowDelegate::copyTexts(const QModelIndex& index) const {
  if (kind_ == Kind::apps) {
    return {{tr("Copy How to Install"), index.data(MissingAppsModel::installRole).toString()}};
  }
  return {{tr("Copy Path"), index.data(MissingSettingsModel::pathRole).toString()}};
}

void DiffRowDelegate::copy(const QString& text) const {
  model_.copyCommand(text.toStdString());
}

}  // namespace larkvale::movingday
