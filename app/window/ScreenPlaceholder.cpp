#include "app/window/ScreenPlaceholder.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace larkvale {
namespace {

QLabel* nameLabel(const QString& name, QWidget* parent) {
  auto* label = new QLabel(name, parent);
  label->setObjectName(QStringLiteral("placeholderName"));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  label->setForegroundRole(QPalette::PlaceholderText);
  return label;
}

}  // namespace

QWidget* makePlaceholder(const QString& name, QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(QStringLiteral("placeholder"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(nameLabel(name, page));
  return page;
}

QDialog* makePlaceholderSheet(const QString& name, QWidget* parent) {
  auto* sheet = new QDialog(parent);
  sheet->setObjectName(QStringLiteral("placeholderSheet"));
  sheet->setWindowTitle(name);
  auto* layout = new QVBoxLayout(sheet);
  layout->addWidget(nameLabel(name, sheet));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, sheet);
  QObject::connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
  layout->addWidget(buttons);
  return sheet;
}

}  // namespace larkvale
