#pragma once
// The rows of the New Mac Check cards that offer a button: the apps still to
// install (name and old version, how to install it, and a link to its App
// Store page or its releases page) and the settings not here yet (path, app
// and number of files, and "Show Copy" or a note that the copy is missing).
// Rows are painted; a click on a row's button calls the model (open the link
// or show the copy in the file manager). From the keyboard the button is the
// row's one control; the path of a setting and how to install an app are the
// rows' copy texts. Names, versions and install lines show on one line
// (shown::line); a setting's path is shown and named written out
// (shown::path), and copied as it is, so that the copy names the file; the
// comparison and the copy it shows use the path as written. Main thread.
#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include "app/ui/FittedListView.h"

#include <optional>
#include <string>
#include <vector>

#include "kit/movingday/NewMacDiff.h"

class QAbstractItemView;

namespace larkvale {

class AppModel;

namespace movingday {

// The button of a missing app: "Open in App Store" with the store link when
// the app has a store identifier, otherwise "Releases Page" with the
// releases page when the app names a well-formed GitHub repository,
// otherwise none. A repository text from the old Mac's manifest is never
// made into a link unless it is a plain "owner/name".
struct AppLink {
  QString label;
  std::string url;
  friend bool operator==(const AppLink&, const AppLink&) = default;
};
std::optional<AppLink> appLink(const MovingManifest::App& app);

class MissingAppsModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { installRole = Qt::UserRole + 1, buttonRole, urlRole };

  explicit MissingAppsModel(std::vector<NewMacDiff::AppLine> lines, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<NewMacDiff::AppLine> lines_;
};

class MissingSettingsModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    captionRole = Qt::UserRole + 1,
    copyRole,  // the copy in the folder, when it is there, for "Show Copy"
    pathRole,  // the setting's path as written, for "Copy Path"
  };

  explicit MissingSettingsModel(std::vector<NewMacDiff::SettingLine> lines,
                                QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // "Notes · 12 files" for a folder, the app's name alone for a file.
  static QString caption(const MovingManifest::Setting& setting);

 private:
  std::vector<NewMacDiff::SettingLine> lines_;
};

class DiffRowDelegate : public QStyledItemDelegate, public ui::RowControls {
  Q_OBJECT

 public:
  enum class Kind { apps, settings };

  DiffRowDelegate(AppModel& model, Kind kind, QObject* parent = nullptr);

  // Where the row's button lies in the view's viewport; empty when the row
  // has none.
  QRect buttonRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;
  QRect buttonRect(const QAbstractItemView* view, const QModelIndex& index) const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  std::vector<Control> controls(const QAbstractItemView* view,
                                const QModelIndex& index) const override;
  std::vector<CopyText> copyTexts(const QModelIndex& index) const override;
  void copy(const QString& text) const override;

 private:
  void press(const QModelIndex& index) const;
  void paintApp(QPainter* painter, const QStyleOptionViewItem& option,
                const QModelIndex& index) const;
  void paintSetting(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const;

  AppModel& model_;
  Kind kind_;
};

}  // namespace movingday
}  // namespace larkvale
