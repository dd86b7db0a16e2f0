#include "app/screens/updates/SafeUpdatesSheetRun.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/model/ShownText.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/Card.h"
#include "app/ui/SymbolView.h"
#include "app/ui/TintLabel.h"

namespace larkvale {
namespace {

using ui::TextStyle;
using ui::Tint;
using ui::TintLabel;

constexpr int kMarkWidth = 18;

}  // namespace

SafeUpdatesRunList::MarkLook SafeUpdatesRunList::markLook(SafeUpdateRun::Mark mark, bool current) {
  switch (mark) {
    case SafeUpdateRun::Mark::waiting:
      // The current step is handed off as it becomes current; still waiting,
      // its hand-off failed (or has not answered yet).
      if (current)
        return {QStringLiteral("arrow.right.circle.fill"), Tint::accent, tr("Couldn't hand off")};
      return {QStringLiteral("circle"), Tint::secondary, tr("Waiting")};
    case SafeUpdateRun::Mark::handedOff:
      if (current)
        return {QStringLiteral("checkmark.circle.fill"), Tint::accent, tr("Handed off now")};
      return {QStringLiteral("checkmark.circle.fill"), Tint::green, tr("Handed off")};
    case SafeUpdateRun::Mark::skipped:
      return {QStringLiteral("forward.circle"), current ? Tint::accent : Tint::secondary,
              tr("Skipped")};
  }
  return {QStringLiteral("circle"), Tint::secondary, tr("Waiting")};
}

QString SafeUpdatesRunList::title(const SafeUpdateRun& run) {
  if (run.isFinished()) return tr("Finished");
  return tr("Step %1 of %2")
      .arg(QString::number(run.index().value_or(0) + 1), QString::number(run.steps().size()));
}

QString SafeUpdatesRunList::forwardText(const SafeUpdateRun& run) {
  size_t next = run.index().value_or(0) + 1;
  if (next < run.steps().size()) {
    return tr("Next: %1").arg(shown::line(run.steps()[next].title()));
  }
  return tr("Finish");
}

QString SafeUpdatesRunList::finishedText(const SafeUpdateRun& run) {
  return tr("Handed off %1 of %2. When they finish, Check Now shows the new versions.")
      .arg(QString::number(run.handedOffCount()), QString::number(run.steps().size()));
}

SafeUpdatesRunList::SafeUpdatesRunList(const SafeUpdateRun& run, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("safeRun"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(12);
  QWidget* rows = viewblocks::stackWidget(10);
  for (size_t i = 0; i < run.steps().size(); ++i) {
    viewblocks::stackOf(rows)->addWidget(stepRow(run, i, rows));
  }
  auto* card = new ui::Card(title(run), QStringLiteral("list.number"), Tint::accent, rows, this);
  card->setObjectName(QStringLiteral("safeRunCard"));
  layout->addWidget(card);
  if (!run.isFinished()) {
    auto* hint =
        (new TintLabel(tr("Finish with this one in its own window, then come back here and press "
                          "Next."),
                       TextStyle::callout, Tint::secondary, this))
            ->wrapping();
    hint->setObjectName(QStringLiteral("safeRunHint"));
    layout->addWidget(hint);
  }
  layout->addStretch(1);
}

QWidget* SafeUpdatesRunList::stepRow(const SafeUpdateRun& run, size_t position, QWidget* parent) {
  const SafeUpdateStep& step = run.steps()[position];
  const bool current = run.index() == position;
  const SafeUpdateRun::Mark mark = run.mark(step);
  const MarkLook look = markLook(mark, current);

  auto* row = new QWidget(parent);
  row->setObjectName(QStringLiteral("safeStep:") + QString::fromStdString(step.id()));
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(10);
  // Square, or the round marks come out as ellipses.
  auto* symbol = new ui::SymbolView(look.symbol, look.tint, kMarkWidth, row);
  symbol->setObjectName(QStringLiteral("safeStepSymbol"));
  layout->addWidget(symbol, 0, Qt::AlignTop);

  QWidget* texts = viewblocks::stackWidget(2, row);
  const QString stepTitle = shown::line(step.title());
  auto* heading = new TintLabel(stepTitle, TextStyle::body, std::nullopt, texts);
  heading->setObjectName(QStringLiteral("safeStepTitle"));
  heading->setFont(
      ui::Fonts::font(TextStyle::body, font(), current ? QFont::DemiBold : QFont::Normal));
  heading->setWordWrap(true);
  viewblocks::stackOf(texts)->addWidget(heading);
  if (current || mark == SafeUpdateRun::Mark::waiting) {
    auto* detail =
        (new TintLabel(shown::line(step.detail()), TextStyle::caption, Tint::secondary, texts))
            ->wrapping();
    detail->setObjectName(QStringLiteral("safeStepDetail"));
    viewblocks::stackOf(texts)->addWidget(detail);
  }
  std::optional<std::string> command = step.brewCommand();
  if (current && command) {
    auto* line =
        (new TintLabel(shown::line(*command), TextStyle::caption, std::nullopt, texts))->wrapping();
    QFont mono = ui::Fonts::font(TextStyle::caption, font());
    mono.setFamilies({QStringLiteral("monospace")});
    mono.setStyleHint(QFont::Monospace);
    line->setFont(mono);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    line->setFocusPolicy(Qt::StrongFocus);
    line->setObjectName(QStringLiteral("safeStepCommand"));
    viewblocks::stackOf(texts)->addWidget(line);
  }
  layout->addWidget(texts, 1);

  auto* markText = new TintLabel(look.text, TextStyle::caption, Tint::secondary, row);
  markText->setObjectName(QStringLiteral("safeStepMark"));
  layout->addWidget(markText, 0, Qt::AlignTop);
  row->setAccessibleName(stepTitle + QStringLiteral(", ") + look.text);
  return row;
}

}  // namespace larkvale
