#include "app/screens/movingday/ChecklistSectionModel.h"

#include <QUrl>

#include "app/model/AppModel.h"
#include "app/model/ShownText.h"
#include "app/screens/movingday/MovingDayBlocks.h"

namespace larkvale::movingday {
namespace {

// The step that the export buttons tick.
constexpr std::string_view exportStep = "before:export";

// A marked text as the row shows it (the app's words as they are, outside
// text on one line, a path written out); a text no one marked counts as
// outside text on one line.
QString shownText(const DocText& marked, const std::string& plain) {
  return marked.empty() ? shownLine(plain) : qs(Doc::shown(marked));
}

// What copying a marked line gives: a path as it is, so that it names its
// file; everything else as shown.
QString copiedText(const DocText& marked) {
  QString out;
  for (const DocSpan& span : marked)
    out += span.kind == DocSpan::Kind::path ? qs(span.text) : qs(Doc::shown(span));
  return out;
}

}  // namespace

ChecklistSectionModel::ChecklistSectionModel(AppModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {}

void ChecklistSectionModel::setItems(std::vector<ChecklistItem> items) {
  if (items == items_) return;
  beginResetModel();
  items_ = std::move(items);
  shown_.clear();
  shown_.reserve(items_.size());
  for (const ChecklistItem& item : items_) shown_.push_back(shownOf(item));
  endResetModel();
}

void ChecklistSectionModel::ticksChanged() {
  if (items_.empty()) return;
  emit dataChanged(index(0), index(static_cast<int>(items_.size()) - 1),
                   {tickedRole, Qt::CheckStateRole});
}

void ChecklistSectionModel::setExportNote(const QString& note) {
  if (note == exportNote_) return;
  exportNote_ = note;
  for (size_t row = 0; row < items_.size(); ++row) {
    if (items_[row].id != exportStep) continue;
    const QModelIndex at = index(static_cast<int>(row));
    // The row's height changes with its detail.
    emit dataChanged(at, at);
  }
}

QString ChecklistSectionModel::linkLabel(const std::string& link) {
  const QUrl url(qs(link));
  if (url.scheme() == QLatin1String("macappstore")) return tr("Open in App Store");
  if (!url.host().isEmpty()) return shown::line(url.host());
  return shownLine(link);
}

ChecklistSectionModel::Shown ChecklistSectionModel::shownOf(const ChecklistItem& item) {
  Shown shown;
  shown.title = shownText(item.titleText, item.title);
  QStringList detail, copied;
  for (const DocText& line : item.detailLines) {
    detail << qs(Doc::shown(line));
    copied << copiedText(line);
  }
  if (item.detailLines.empty() && item.detail) detail = copied = {shownLine(*item.detail)};
  shown.detail = detail.join(QLatin1Char('\n'));
  shown.detailCopy = copied.join(QLatin1Char('\n'));
  if (item.command) shown.command = shownLine(*item.command);
  if (item.link) {
    shown.link = shownLine(*item.link);
    shown.linkLabel = linkLabel(*item.link);
  }
  return shown;
}

int ChecklistSectionModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

Qt::ItemFlags ChecklistSectionModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
}

QVariant ChecklistSectionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(items_.size())) return {};
  const ChecklistItem& item = items_[static_cast<size_t>(index.row())];
  const Shown& shown = shown_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return shown.title;
    case idRole:
      return QByteArray::fromStdString(item.id);
    case detailRole:
    case detailCopyRole: {
      QString detail = role == detailRole ? shown.detail : shown.detailCopy;
      if (item.id == exportStep && !exportNote_.isEmpty()) {
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + exportNote_;
      }
      return detail;
    }
    case commandRole:
      return shown.command;
    case linkRole:
      return item.link ? qs(*item.link) : QString();
    case linkLabelRole:
      return shown.linkLabel;
    case Qt::ToolTipRole:
      return shown.link.isEmpty() ? QVariant() : QVariant(shown.link);
    case tickedRole:
      return model_.state().ticked.contains(item.id);
    case Qt::CheckStateRole:
      return model_.state().ticked.contains(item.id) ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

}  // namespace larkvale::movingday
