#include "app/screens/updates/HistoryListModel.h"

#include <QDateTime>

#include <chrono>
#include <functional>
#include <map>

#include "app/model/ShownText.h"

namespace larkvale {

namespace HistoryDays {

bool matches(const HistoryEntry& entry, const QString& search) {
  return search.isEmpty() ||
         QString::fromStdString(entry.name).contains(search, Qt::CaseInsensitive);
}

std::vector<HistoryDay> group(const std::vector<HistoryEntry>& history, const QString& search,
                              const QTimeZone& zone) {
  std::map<QDate, std::vector<HistoryEntry>, std::greater<>> byDay;
  for (const HistoryEntry& entry : history) {
    if (!matches(entry, search)) continue;
    qint64 seconds =
        std::chrono::duration_cast<std::chrono::seconds>(entry.date.time_since_epoch()).count();
    byDay[QDateTime::fromSecsSinceEpoch(seconds, zone).date()].push_back(entry);
  }
  std::vector<HistoryDay> days;
  days.reserve(byDay.size());
  for (auto& [day, entries] : byDay) days.push_back({day, std::move(entries)});
  return days;
}

}  // namespace HistoryDays

HistoryListModel::RowText HistoryListModel::rowText(const QString& name, const QString& from,
                                                    const QString& to) {
  // The template's "**" marks set the bold part; its %1, %2 and %3 take the
  // values as they are.
  const QString pattern = tr("Updated **%1** from %2 to %3");
  const QString values[] = {name, from, to};
  RowText out;
  int boldStart = -1;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    if (pattern.mid(i, 2) == QLatin1String("**")) {
      if (boldStart < 0) {
        boldStart = int(out.text.size());
      } else {
        out.bold.append({boldStart, int(out.text.size()) - boldStart});
        boldStart = -1;
      }
      ++i;
      continue;
    }
    if (pattern[i] == QLatin1Char('%') && i + 1 < pattern.size() &&
        pattern[i + 1] >= QLatin1Char('1') && pattern[i + 1] <= QLatin1Char('3')) {
      out.text += values[pattern[i + 1].unicode() - '1'];
      ++i;
      continue;
    }
    out.text += pattern[i];
  }
  return out;
}

HistoryListModel::HistoryListModel(QLocale locale, QObject* parent)
    : QAbstractListModel(parent), locale_(std::move(locale)) {}

void HistoryListModel::setHistory(const std::vector<HistoryEntry>& history, const QString& search,
                                  const QTimeZone& zone) {
  if (shown_ && history == history_ && search == search_ && zone == zone_) return;
  beginResetModel();
  shown_ = true;
  history_ = history;
  search_ = search;
  zone_ = zone;
  days_ = HistoryDays::group(history_, search_, zone_);
  rows_.clear();
  for (size_t d = 0; d < days_.size(); ++d) {
    rows_.push_back({d, std::nullopt});
    for (size_t e = 0; e < days_[d].entries.size(); ++e) rows_.push_back({d, e});
  }
  endResetModel();
}

QString HistoryListModel::dayTitle(const QDate& day) const {
  return locale_.toString(day, QLocale::LongFormat);
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const Row& row = rows_[size_t(index.row())];
  const HistoryDay& day = days_[row.day];
  if (role == KindRole) return int(row.entry ? Kind::entry : Kind::day);
  if (!row.entry) {
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return dayTitle(day.day);
    return {};
  }
  const HistoryEntry& entry = day.entries[*row.entry];
  // The history file is read back as written: its values are shown as any
  // outside text is.
  switch (role) {
    case Qt::DisplayRole:
      return rowText(shown::line(entry.name), shown::line(entry.from), shown::line(entry.to)).text;
    case Qt::AccessibleTextRole:
      return data(index, Qt::DisplayRole).toString() + QStringLiteral(", ") +
             shown::line(entry.source);
    case LastInDayRole:
      return *row.entry + 1 == day.entries.size();
    case NameRole:
      return shown::line(entry.name);
    case FromRole:
      return shown::line(entry.from);
    case ToRole:
      return shown::line(entry.to);
    case SourceRole:
      return shown::line(entry.source);
    default:
      return {};
  }
}

}  // namespace larkvale
