#include "app/screens/movingday/MovingDayHeader.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "app/model/AppModel.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/SymbolButton.h"

namespace larkvale::movingday {

MovingDayHeader::MovingDayHeader(AppModel& model, const QString& title, const QString& subtitle,
                                 QWidget* parent)
    : QWidget(parent),
      model_(model),
      row_(new TitleRow(title, subtitle, this)),
      markdown_(new QPushButton(tr("Export Markdown…"), this)),
      pdf_(new QPushButton(tr("Export PDF…"), this)) {
  ui::setButtonSymbol(markdown_, QStringLiteral("doc.plaintext"));
  ui::setButtonSymbol(pdf_, QStringLiteral("doc.richtext"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  markdown_->setObjectName(QStringLiteral("exportMarkdown"));
  pdf_->setObjectName(QStringLiteral("exportPdf"));
  row_->buttons()->addWidget(markdown_);
  row_->buttons()->addWidget(pdf_);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(row_);

  connect(markdown_, &QPushButton::clicked, this, [this] { model_.exportMovingDay(false); });
  connect(pdf_, &QPushButton::clicked, this, [this] { model_.exportMovingDay(true); });
  connect(&model_, &AppModel::inventoryChanged, this, &MovingDayHeader::refresh);
  refresh();
}

QString MovingDayHeader::title() const {
  return row_->title();
}

QString MovingDayHeader::subtitle() const {
  return row_->subtitle();
}

void MovingDayHeader::refresh() {
  const bool any = !model_.inventory().empty();
  markdown_->setEnabled(any);
  pdf_->setEnabled(any);
}

}  // namespace larkvale::movingday
