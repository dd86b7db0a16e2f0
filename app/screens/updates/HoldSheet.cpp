#include "app/screens/updates/HoldSheet.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/model/ShownText.h"
#include "app/screens/updates/Labels.h"
#include "app/screens/updates/UpdateActions.h"
#include "app/ui/TintLabel.h"

namespace larkvale {

HoldSheet::HoldSheet(const AppUpdate& update, AppModel& model, QWidget* parent)
    : QDialog(parent), model_(model), update_(update), reason_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("holdSheet"));
  const QString title = tr("Hold %1?").arg(shown::line(update.app.name));
  setWindowTitle(title);
  setFixedWidth(width);

  QLabel* heading = styledLabel(title, ui::TextStyle::title2, QFont::Bold, this);
  heading->setObjectName(QStringLiteral("holdTitle"));
  heading->setWordWrap(true);
  auto* sentence = new ui::TintLabel(tr("Larkvale won't offer updates for it until you release the "
                                        "hold. A note helps you remember why."),
                                     ui::Tint::secondary, this);
  sentence->setObjectName(QStringLiteral("holdExplanation"));
  sentence->setWordWrap(true);

  reason_->setObjectName(QStringLiteral("holdReason"));
  reason_->setPlaceholderText(tr("Why (for example: plug-ins aren't ready for version 9)"));
  reason_->setTabChangesFocus(true);
  reason_->installEventFilter(this);
  connect(reason_->document(), &QTextDocument::contentsChanged, this, &HoldSheet::fitReason);
  fitReason();

  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName(QStringLiteral("holdCancel"));
  cancel->setAutoDefault(false);
  auto* confirm = new QPushButton(tr("Hold"), this);
  confirm->setObjectName(QStringLiteral("holdConfirm"));
  confirm->setDefault(true);
  UpdateActions::makeProminent(confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(confirm, &QPushButton::clicked, this, &HoldSheet::hold);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(confirm);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(20, 20, 20, 20);
  column->setSpacing(14);
  column->addWidget(heading);
  column->addWidget(sentence);
  column->addWidget(reason_);
  column->addLayout(buttons);
  reason_->setFocus();
  adjustSize();
}

void HoldSheet::hold() {
  model_.holdApp(update_, reason_->toPlainText());
  accept();
}

bool HoldSheet::eventFilter(QObject* watched, QEvent* event) {
  // The field is several lines tall, but Return still confirms, as in any
  // sheet; Shift-Return starts a new line.
  if (watched == reason_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !(key->modifiers() & Qt::ShiftModifier)) {
      hold();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void HoldSheet::fitReason() {
  // Two to four lines tall, growing with the text; more scrolls.
  int lines = 0;
  for (QTextBlock block = reason_->document()->begin(); block.isValid(); block = block.next()) {
    lines += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
  }
  lines = std::clamp(lines, minLines, maxLines);
  const QMargins margins = reason_->contentsMargins();
  const int height = reason_->fontMetrics().lineSpacing() * lines +
                     2 * static_cast<int>(reason_->document()->documentMargin()) + margins.top() +
                     margins.bottom() + 2 * reason_->frameWidth();
  reason_->setFixedHeight(height);
  if (layout()) adjustSize();
}

}  // namespace larkvale
