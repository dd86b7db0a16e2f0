#pragma once
// Paints one step of the restore checklist and acts on its three controls:
// the tick box (the model flips the tick and saves), the copy button of its
// command (the model puts the command on the clipboard and says so) and its
// link (opened through the model). A row is a tick box beside the title
// (struck through and dimmed when ticked), the detail, the command in a box
// (at most three lines shown; the whole command is copied) and the link.
// From the keyboard (ui::FittedListView) the three controls are the row's
// controls in that order, and the command, the detail and the title are its
// copy texts. Main thread.
#include <QStyledItemDelegate>

#include "app/ui/FittedListView.h"
#include "app/ui/ItemPainting.h"

class QAbstractItemView;

namespace larkvale {

class AppModel;

namespace movingday {

class ChecklistRowDelegate : public QStyledItemDelegate, public ui::RowControls {
  Q_OBJECT

 public:
  static constexpr int rowPadding = 5;  // above and below: 10 between rows
  static constexpr int spacing = 10;    // tick box to texts
  static constexpr int lineGap = 3;     // between the parts of the texts
  static constexpr int commandLines = 3;

  ChecklistRowDelegate(AppModel& model, QObject* parent = nullptr);

  // Where each part of a row lies in the view's viewport; empty rectangles
  // for parts the step doesn't have.
  struct Geometry {
    QRect tick;
    QRect title;
    QStringList titleLines;
    QRect detail;
    QStringList detailLines;
    QRect commandBox;
    QStringList commandLines;
    QRect copy;
    QRect link;
    QString linkText;
    int height = 0;
  };
  Geometry geometry(const QStyleOptionViewItem& option, const QModelIndex& index) const;
  // The same for a row as the view shows it.
  Geometry geometry(const QAbstractItemView* view, const QModelIndex& index) const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
  // Names the copy button and the link's address.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

  std::vector<Control> controls(const QAbstractItemView* view,
                                const QModelIndex& index) const override;
  std::vector<CopyText> copyTexts(const QModelIndex& index) const override;
  void copy(const QString& text) const override;

 private:
  AppModel& model_;
  ui::TextWidths widths_;
};

}  // namespace movingday
}  // namespace larkvale
