#pragma once
// The rows of the History pane: the saved history narrowed by the search
// text and grouped by day, as one flat list model that the pane's list view
// draws as one card per day (a title row, then the day's entries).
// Main thread (the grouping itself is pure and may run anywhere).
#include <QAbstractListModel>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <vector>

#include "app/ui/TextLocale.h"
#include "kit/model/HistoryEntry.h"

namespace larkvale {

struct HistoryDay {
  QDate day;                          // in the time zone the entries were grouped in
  std::vector<HistoryEntry> entries;  // in saved order
  friend bool operator==(const HistoryDay&, const HistoryDay&) = default;
};

namespace HistoryDays {

// Whether an entry's app name contains the search text, ignoring case; every
// entry matches an empty search. The text is used as typed.
bool matches(const HistoryEntry& entry, const QString& search);

// The matching entries grouped by the day that holds their date in `zone`,
// the latest day first; inside a day the entries keep their saved order.
std::vector<HistoryDay> group(const std::vector<HistoryEntry>& history, const QString& search,
                              const QTimeZone& zone);

}  // namespace HistoryDays

class HistoryListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum class Kind { day, entry };
  enum Role {
    KindRole = Qt::UserRole + 1,  // Kind as int
    LastInDayRole,                // bool: an entry that closes its day's card
    NameRole,
    FromRole,
    ToRole,
    SourceRole,
  };

  // The text of an entry row, "Updated <name> from <from> to <to>", with the
  // ranges (start, length) of the text shown in bold (the name).
  struct RowText {
    QString text;
    QList<QPair<int, int>> bold;
  };
  static RowText rowText(const QString& name, const QString& from, const QString& to);

  // Day titles are written in `locale`: by default the language of the app's
  // own texts, so that an English screen never carries a French day name.
  explicit HistoryListModel(QLocale locale = ui::textLocale(), QObject* parent = nullptr);

  // Regroups; nothing happens (and no reset is signalled) when the history,
  // search and zone are those shown already.
  void setHistory(const std::vector<HistoryEntry>& history, const QString& search,
                  const QTimeZone& zone);

  const std::vector<HistoryDay>& days() const { return days_; }
  // The title of a day card: the day in the locale's long date form.
  QString dayTitle(const QDate& day) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  struct Row {
    size_t day;
    std::optional<size_t> entry;  // none: the day's title row
  };

  QLocale locale_;
  std::vector<HistoryEntry> history_;
  QString search_;
  QTimeZone zone_;
  bool shown_ = false;
  std::vector<HistoryDay> days_;
  std::vector<Row> rows_;
};

}  // namespace larkvale
