#include "app/window/MainWindow.h"

#include <QDialog>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/window/MainToolbar.h"
#include "app/window/NoticeBar.h"
#include "app/window/PaneStack.h"
#include "app/window/ScreenPlaceholder.h"
#include "app/window/Sidebar.h"

namespace larkvale {
namespace {

// The property a hold sheet carries: the path of the app it was opened for.
constexpr const char* kSheetUpdate = "larkvaleUpdate";

void closeSheet(QPointer<QDialog>& slot) {
  // Forget the sheet first: its closing must not clear a request that is
  // already gone or already another one.
  QDialog* sheet = slot.data();
  slot = nullptr;
  if (sheet) sheet->close();
}

}  // namespace

MainWindow::MainWindow(AppModel& model, Screens screens, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      screens_(std::move(screens)),
      sidebar_(new Sidebar(model, this)),
      panes_(new PaneStack(model, screens_.pane, this)),
      notice_(new NoticeBar(model, this)),
      toolbar_(new MainToolbar(model, this)) {
  setObjectName(QStringLiteral("main"));
  setWindowTitle(QStringLiteral("Larkvale"));
  resize(kDefaultSize);
  addToolBar(Qt::TopToolBarArea, toolbar_);

  auto* detail = new QWidget(this);
  detail->setObjectName(QStringLiteral("detail"));
  auto* column = new QVBoxLayout(detail);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(panes_, 1);
  column->addWidget(notice_);

  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("split"));
  split->setChildrenCollapsible(false);
  split->addWidget(sidebar_);
  split->addWidget(detail);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({Sidebar::kDefaultWidth, kDefaultSize.width() - Sidebar::kDefaultWidth});
  // The content's minimum: the menu bar and toolbar come on top of it.
  split->setMinimumSize(kMinimumSize);
  setCentralWidget(split);

  connect(&model_, &AppModel::holdRequestChanged, this, &MainWindow::presentHoldSheet);
  connect(&model_, &AppModel::safeSheetChanged, this, &MainWindow::presentSafeSheet);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A sheet needs its window on screen; open any that were asked for while
  // the window was hidden once it is.
  QMetaObject::invokeMethod(
      this,
      [this] {
        presentHoldSheet();
        presentSafeSheet();
      },
      Qt::QueuedConnection);
}

void MainWindow::presentHoldSheet() {
  const OptionalUpdate& request = model_.holdRequest();
  if (holdSheet_ && request &&
      holdSheet_->property(kSheetUpdate).toString() == QString::fromStdString(request->id())) {
    return;
  }
  closeSheet(holdSheet_);
  if (!request || !isVisible()) return;
  QDialog* sheet = screens_.holdSheet ? screens_.holdSheet(*request, model_, this) : nullptr;
  if (!sheet) sheet = makePlaceholderSheet(tr("Hold"), this);
  sheet->setProperty(kSheetUpdate, QString::fromStdString(request->id()));
  present(sheet, holdSheet_, [this] { model_.setHoldRequest(std::nullopt); });
}

void MainWindow::presentSafeSheet() {
  if (safeSheet_ && model_.safeSheet()) return;
  closeSheet(safeSheet_);
  if (!model_.safeSheet() || !isVisible()) return;
  QDialog* sheet = screens_.safeSheet ? screens_.safeSheet(model_, this) : nullptr;
  if (!sheet) sheet = makePlaceholderSheet(tr("Update All That Are Safe"), this);
  present(sheet, safeSheet_, [this] { model_.setSafeSheet(false); });
}

void MainWindow::present(QDialog* sheet, QPointer<QDialog>& slot,
                         std::function<void()> clearRequest) {
  slot = sheet;
  connect(sheet, &QDialog::finished, this, [sheet, &slot, clearRequest = std::move(clearRequest)] {
    sheet->deleteLater();
    if (slot != sheet) return;  // closed because the model moved on
    slot = nullptr;
    clearRequest();
  });
  sheet->setWindowModality(Qt::WindowModal);
  sheet->open();
}

}  // namespace larkvale
