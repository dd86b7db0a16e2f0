#include "Pennant/view/MoreAppsListModel.h"

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsTexts.h"

namespace pennant {

MoreAppsListModel::MoreAppsListModel(MoreAppsList* list, QString language, QObject* parent)
    : QAbstractListModel(parent),
      list_(list),
      language_(language.isEmpty() ? moreAppsUILanguage() : std::move(language)) {
  connect(list, &MoreAppsList::appsChanged, this, [this] {
    beginResetModel();
    rebuild();
    endResetModel();
  });
  rebuild();
}

void MoreAppsListModel::rebuild() {
  rows_.clear();
  if (!list_) return;
  const std::string language = language_.toStdString();
  const MoreAppsConfig& config = list_->config();
  for (const MoreAppsEntry& entry : list_->apps()) {
    auto link = entry.entryURL(config.utmSource);
    if (!link) continue;
    rows_.push_back({.name = QString::fromStdString(entry.localizedName(language)),
                     .detail = QString::fromStdString(entry.localizedDetail(language)),
                     .label = moreAppsRowLabel(entry, language_),
                     .symbol = QString::fromStdString(entry.symbol),
                     .tint = QString::fromStdString(entry.tint),
                     .url = QUrl(QString::fromStdString(*link), QUrl::StrictMode),
                     .seeAll = false});
  }
  if (config.isDirect) {
    QString title = seeAllMacAppsTitle(language_);
    rows_.push_back({.name = title,
                     .detail = {},
                     .label = title,
                     .symbol = QStringLiteral("square.grid.2x2.fill"),
                     .tint = QStringLiteral("gray"),
                     .url = seeAllMacAppsURL(QString::fromStdString(config.utmSource)),
                     .seeAll = true});
  }
}

int MoreAppsListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant MoreAppsListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return row.name;
    case Qt::AccessibleTextRole:
      return row.label;
    case Qt::AccessibleDescriptionRole:
    case DetailRole:
      return row.detail;
    case SymbolRole:
      return row.symbol;
    case TintRole:
      return row.tint;
    case UrlRole:
      return row.url;
    case SeeAllRole:
      return row.seeAll;
    default:
      return {};
  }
}

}  // namespace pennant
