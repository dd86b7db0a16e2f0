#include "app/window/NoticeBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolButton>

#include "app/ui/PlainTip.h"
#include "app/ui/SymbolView.h"
#include "app/ui/Symbols.h"

namespace larkvale {
namespace {

constexpr int kPadding = 10;
constexpr int kSpacing = 8;
constexpr int kIconSize = 16;

// `text` cut to the lines that fit `width`, the last kept line ending in "…"
// when more would follow.
QString fitLines(const QString& text, const QFont& font, const int width, const int maxLines) {
  if (width <= 0) return text;
  QString laid = text;
  laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(laid, font);
  layout.beginLayout();
  int lastStart = 0;
  int lines = 0;
  bool more = false;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    if (lines == maxLines) {
      more = true;
      break;
    }
    line.setLineWidth(width);
    lastStart = line.textStart();
    ++lines;
  }
  layout.endLayout();
  if (!more) return text;
  QString tail = text.mid(lastStart);
  tail.replace(QLatin1Char('\n'), QLatin1Char(' '));
  // Elide against the tail with something after it, so "…" is always shown.
  const QFontMetrics metrics(font);
  QString last = metrics.elidedText(tail, Qt::ElideRight, width);
  if (!last.endsWith(QChar(0x2026)))
    last = metrics.elidedText(tail + QChar(0x2026), Qt::ElideRight, width);
  return text.left(lastStart) + last;
}

// A word-wrapped label that keeps its text to a number of lines, re-fitting
// whenever its width changes.
class LinesLabel : public QLabel {
 public:
  explicit LinesLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  }

  void setFullText(const QString& text) {
    full_ = text;
    fit();
  }
  const QString& fullText() const { return full_; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    fit();
  }

 private:
  void fit() {
    const QString shown = fitLines(full_, font(), contentsRect().width(), NoticeBar::kMaxLines);
    setToolTip(shown == full_ ? QString() : ui::plainTip(full_));
    if (text() != shown) setText(shown);
  }

  QString full_;
};

}  // namespace

NoticeBar::NoticeBar(AppModel& model, QWidget* parent)
    : QFrame(parent),
      model_(model),
      doneIcon_(new ui::SymbolView(QStringLiteral("checkmark.circle.fill"), ui::Tint::green,
                                   kIconSize, this)),
      errorIcon_(new ui::SymbolView(QStringLiteral("exclamationmark.triangle.fill"),
                                    ui::Tint::orange, kIconSize, this)),
      text_(new LinesLabel(this)),
      dismiss_(new QToolButton(this)) {
  setObjectName(QStringLiteral("notice"));
  doneIcon_->setObjectName(QStringLiteral("noticeIcon"));
  errorIcon_->setObjectName(QStringLiteral("noticeErrorIcon"));
  text_->setObjectName(QStringLiteral("noticeText"));
  dismiss_->setObjectName(QStringLiteral("noticeDismiss"));

  dismiss_->setAutoRaise(true);
  tintButton();
  dismiss_->setText(tr("Dismiss"));
  dismiss_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  dismiss_->setAccessibleName(tr("Dismiss"));
  dismiss_->setToolTip(tr("Dismiss"));
  connect(dismiss_, &QToolButton::clicked, this, [this] {
    if (model_.notice()) model_.setNotice(std::nullopt);
  });

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
  row->setSpacing(kSpacing);
  row->addWidget(doneIcon_, 0, Qt::AlignVCenter);
  row->addWidget(errorIcon_, 0, Qt::AlignVCenter);
  row->addWidget(text_, 1, Qt::AlignVCenter);
  row->addWidget(dismiss_, 0, Qt::AlignVCenter);

  connect(&model_, &AppModel::noticeChanged, this, &NoticeBar::showNotice);
  showNotice();
}

void NoticeBar::showNotice() {
  const OptionalNotice& notice = model_.notice();
  setVisible(notice.has_value());
  if (!notice) return;
  const bool error = notice->isError;
  setProperty("isError", error);
  doneIcon_->setVisible(!error);
  errorIcon_->setVisible(error);
  static_cast<LinesLabel*>(text_)->setFullText(QString::fromStdString(notice->text));
  setAccessibleName(QString::fromStdString(notice->text));
  // Style sheets that select on isError re-read it only when polished again.
  style()->unpolish(this);
  style()->polish(this);
}

void NoticeBar::tintButton() {
  dismiss_->setIcon(QIcon(ui::Symbols::tinted("xmark", ui::Tints::secondaryText(palette()),
                                              kIconSize, devicePixelRatioF())));
}

void NoticeBar::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) tintButton();
}

void NoticeBar::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window).darker(104));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(rect().topLeft(), rect().topRight());
  QFrame::paintEvent(event);
}

}  // namespace larkvale
