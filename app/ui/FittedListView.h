#pragma once
// A list view for rows inside a scrolling pane: exactly as tall as all its
// rows at its current width, so it never scrolls itself (the pane does and
// takes the wheel), with a transparent background and no frame. Rows are painted by the
// view's delegate, whose size hints may depend on the width.
//
// The controls a delegate paints inside a row (RowControls) are reached from
// the keyboard: Tab brings the focus to the list, Up and Down move between
// rows, Left and Right between the current row's controls, and Space or
// Return presses the focused one, which is outlined and names itself as the
// list's accessible description. The texts a row offers for copying are on
// its context menu, and Ctrl+C copies the current row's first one. Main
// thread.
#include <QHash>
#include <QListView>

#include <functional>
#include <optional>
#include <vector>

class QMenu;

namespace larkvale::ui {

// What a row paints that the user can act on, and the texts it offers for
// copying; implemented by the delegates of fitted lists.
class RowControls {
 public:
  struct Control {
    QRect rect;  // in the view's viewport
    QString name;
    std::function<void()> press;
  };
  struct CopyText {
    QString label;  // the context menu's entry
    QString text;
  };

  virtual ~RowControls() = default;
  virtual std::vector<Control> controls(const QAbstractItemView* view,
                                        const QModelIndex& index) const = 0;
  virtual std::vector<CopyText> copyTexts(const QModelIndex& index) const = 0;
  // Puts a text on the clipboard (through the model, which says so).
  virtual void copy(const QString& text) const = 0;
};

class FittedListView : public QListView {
  Q_OBJECT

 public:
  explicit FittedListView(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;

  // The delegate's controls and copy texts; not owned. Without them the
  // list is only read.
  void setRowControls(const RowControls* controls) { controls_ = controls; }
  // Which control of the current row has the keyboard's focus; none when
  // the row has no controls.
  std::optional<RowControls::Control> focusedControl() const;
  // The context menu of a row: one "Copy …" entry per copy text.
  QMenu* copyMenu(const QModelIndex& index, QWidget* parent);

  // The height of a row at a width as last worked out for the whole list;
  // nothing when not known. Delegates answer their size hints from here, so
  // each row is measured once per width.
  std::optional<int> knownRowHeight(int row, int width) const;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void refit();
  void rowsChanged();
  int estimatedHeight() const;
  void focusControl(int at);

  const RowControls* controls_ = nullptr;
  int control_ = 0;  // of the current row

  int lastWidth_ = -1;
  // Row heights already worked out, by width; forgotten when the rows
  // change.
  mutable QHash<int, QList<int>> heights_;
};

}  // namespace larkvale::ui
