#include "app/shell/UpdaterDialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Skirting/CloseWindowAction.h"
#include "app/model/AppModel.h"
#include "app/model/ShownText.h"

namespace larkvale {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("UpdaterDialogs", text);
}

QLabel* plainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

void bringForward(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

UpdaterDialogs::UpdaterDialogs(std::function<void(const QUrl&)> openUrl)
    : openUrl_(std::move(openUrl)) {
  // The dialogs are made before the model, whose services hold the updater
  // they serve: the model is looked up when the button is pressed.
  if (!openUrl_) {
    openUrl_ = [](const QUrl& url) {
      if (AppModel* model = AppModel::shared())
        model->openLink(url.toString(QUrl::FullyEncoded).toStdString());
    };
  }
}

UpdaterDialogs::~UpdaterDialogs() {
  delete alert_.data();
  delete offer_.data();
}

void UpdaterDialogs::alert(const QString& title, const QString& text) {
  delete alert_.data();
  auto* box = new QMessageBox(QMessageBox::Information, AppInfo::running().appDisplayName(), title);
  box->setObjectName(QStringLiteral("updaterAlert"));
  box->setTextFormat(Qt::PlainText);
  box->setInformativeText(text);
  QPushButton* ok = box->addButton(tr("OK"), QMessageBox::AcceptRole);
  ok->setObjectName(QStringLiteral("updaterAlertOK"));
  box->setDefaultButton(ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(true);
  alert_ = box;
  bringForward(box);
}

void UpdaterDialogs::offer(const OwnRelease& release, const AppInfo& app) {
  delete offer_.data();
  auto* dialog = new QDialog;
  dialog->setObjectName(QStringLiteral("ownUpdateOffer"));
  dialog->setWindowTitle(tr("%1 Update").arg(app.appDisplayName()));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(dialog);

  QLabel* heading = plainLabel(
      tr("%1 %2 is available").arg(app.appDisplayName(), shown::line(release.version)), dialog);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  layout->addWidget(plainLabel(tr("You have version %1. %2 never installs anything by itself: "
                                  "get the new version from its page.")
                                   .arg(app.appShortVersion(), app.appDisplayName()),
                               dialog));

  auto* notes = new QPlainTextEdit(dialog);
  notes->setObjectName(QStringLiteral("ownUpdateNotes"));
  notes->setReadOnly(true);
  notes->setPlainText(release.notes ? shown::lines(*release.notes)
                                    : tr("This version comes without release notes."));
  layout->addWidget(notes, 1);

  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* later = buttons->addButton(tr("Not Now"), QDialogButtonBox::RejectRole);
  later->setObjectName(QStringLiteral("ownUpdateLater"));
  if (release.page) {
    QPushButton* open = buttons->addButton(tr("Open Download Page"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("ownUpdateOpenPage"));
    open->setDefault(true);
    QUrl page(QString::fromStdString(*release.page));
    QObject::connect(open, &QPushButton::clicked, dialog, [this, page] { openUrl_(page); });
  }
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog->resize(480, 360);
  // A window of its own with a title bar, closed by the same key as the
  // app's other windows.
  skirting::addCloseWindowKey(*dialog);
  offer_ = dialog;
  bringForward(dialog);
}

}  // namespace larkvale
