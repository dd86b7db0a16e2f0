#include "app/desktop/DialogPanels.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <algorithm>
#include <vector>

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

const QString kSavePurpose = QStringLiteral("save");

// Puts `message` as a wrapped label above everything else in Qt's dialog.
void addMessage(QFileDialog& dialog, const QString& message) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (message.isEmpty() || !grid) return;
  struct Placed {
    QLayoutItem* item;
    int row, column, rows, columns;
  };
  std::vector<Placed> placed;
  while (grid->count() > 0) {
    Placed p{nullptr, 0, 0, 0, 0};
    grid->getItemPosition(0, &p.row, &p.column, &p.rows, &p.columns);
    p.item = grid->takeAt(0);
    placed.push_back(p);
  }
  for (const Placed& p : placed) grid->addItem(p.item, p.row + 1, p.column, p.rows, p.columns);
  auto* label = new QLabel(message, &dialog);
  label->setObjectName(QStringLiteral("panelMessage"));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  grid->addWidget(label, 0, 0, 1, std::max(1, grid->columnCount()));
}

}  // namespace

QString DialogPanels::startFolder(const QString& purpose) const {
  auto last = lastFolders_.find(purpose);
  if (last != lastFolders_.end() && QFileInfo(last->second).isDir()) return last->second;
  return QDir::homePath();
}

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
  FolderOrFileDialog dialog(window_(), QString(), startFolder(request.prompt));
  dialog.setObjectName(QStringLiteral("openPanel"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (request.folders) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !request.files);
    dialog.acceptsFiles = request.files;
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  dialog.setOption(QFileDialog::ReadOnly, !request.canCreateFolders);
  if (request.files) dialog.setNameFilters(nameFilters(request.fileSuffixes));
  if (!request.prompt.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.prompt);
  addMessage(dialog, request.message);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  lastFolders_[request.prompt] = dialog.directory().absolutePath();
  if (dialog.pickedFile) return localPath(*dialog.pickedFile);
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  return localPath(chosen.first());
}

std::optional<std::filesystem::path> DialogPanels::chooseSave(const Save& request) {
  QFileDialog dialog(window_(), QString(), startFolder(kSavePurpose));
  dialog.setObjectName(QStringLiteral("savePanel"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(nameFilters(request.fileSuffixes));
  if (!request.fileSuffixes.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.fileSuffixes.front()));
  dialog.selectFile(request.proposedName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  lastFolders_[kSavePurpose] = dialog.directory().absolutePath();
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  return localPath(chosen.first());
}

}  // namespace larkvale
