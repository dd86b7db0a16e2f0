#include "app/desktop/DialogPanels.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace larkvale {
namespace {

std::filesystem::path localPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Qt's file dialog in folder mode accepts only folders; this one also takes
// a file that the user picked, for panels that accept both.
class FolderOrFileDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  bool acceptsFiles = false;
  std::optional<QString> pickedFile;

  void accept() override {
    const QStringList files = selectedFiles();
    if (acceptsFiles && files.size() == 1 && QFileInfo(files.first()).isFile()) {
      pickedFile = files.first();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }
};

}  // namespace

DialogPanels::DialogPanels(std::function<QWidget*()> window) : window_(std::move(window)) {
  if (!window_) window_ = [] { return QApplication::activeWindow(); };
}

QStringList DialogPanels::nameFilters(const std::vector<std::string>& suffixes) {
  if (suffixes.empty()) return {};
  QStringList patterns;
  for (const std::string& suffix : suffixes)
    patterns << QStringLiteral("*.") + QString::fromStdString(suffix);
  return {QCoreApplication::translate("DialogPanels", "Files (%1)").arg(patterns.join(u' '))};
}

std::optional<std::filesystem::path> DialogPanels::chooseOpen(const Open& request) {
  FolderOrFileDialog dialog(window_(), request.message);
  dialog.setObjectName(QStringLiteral("openPanel"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (request.folders) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !request.files);
    // Only Qt's own dialog lets a folder-mode panel take a file as well.
    dialog.setOption(QFileDialog::DontUseNativeDialog, request.files);
    dialog.acceptsFiles = request.files;
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  dialog.setOption(QFileDialog::ReadOnly, !request.canCreateFolders);
  if (request.files) dialog.setNameFilters(nameFilters(request.fileSuffixes));
  if (!request.prompt.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.prompt);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (dialog.pickedFile) return localPath(*dialog.pickedFile);
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  return localPath(chosen.first());
}

std::optional<std::filesystem::path> DialogPanels::chooseSave(const Save& request) {
  QFileDialog dialog(window_());
  dialog.setObjectName(QStringLiteral("savePanel"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(nameFilters(request.fileSuffixes));
  if (!request.fileSuffixes.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.fileSuffixes.front()));
  dialog.selectFile(request.proposedName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  return localPath(chosen.first());
}

}  // namespace larkvale
