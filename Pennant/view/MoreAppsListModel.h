#pragma once
// The rows of a catalogue list for an item view: one per shown entry whose
// link makes a URL (an entry without one gets no row but stays in the
// list's apps), then, in a direct build, the row that links to the maker's
// page of all its Mac apps. Texts are in the module's language. The rows are
// rebuilt whenever the list's apps change. Main thread.
#include <QAbstractListModel>
#include <QPointer>
#include <QUrl>

#include <vector>

namespace pennant {

class MoreAppsList;

class MoreAppsListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    DetailRole = Qt::UserRole + 1,  // QString, empty for the see-all row
    SymbolRole,                     // QString: the symbol name to show
    TintRole,                       // QString: the feed's tint name
    UrlRole,                        // QUrl: what choosing the row opens
    SeeAllRole,                     // bool: the see-all row
  };

  explicit MoreAppsListModel(MoreAppsList* list, QString language = {}, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  // DisplayRole: the name (or the see-all title); AccessibleTextRole: what
  // the row is announced as; AccessibleDescriptionRole: the detail.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  struct Row {
    QString name;
    QString detail;
    QString label;
    QString symbol;
    QString tint;
    QUrl url;
    bool seeAll = false;
  };

  void rebuild();

  QPointer<MoreAppsList> list_;
  QString language_;
  std::vector<Row> rows_;
};

}  // namespace pennant
