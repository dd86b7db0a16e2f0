#include "app/ui/NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolButton>

#include "app/ui/FrameIcons.h"

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
    setToolTip(shown == full_ ? QString() : full_);
    if (text() != shown) setText(shown);
  }

  QString full_;
};

}  // namespace

NoticeBar::NoticeBar(AppModel& model, QWidget* parent)
    : QFrame(parent),
      model_(model),
      icon_(new QLabel(this)),
      text_(new LinesLabel(this)),
      dismiss_(new QToolButton(this)) {
  setObjectName(QStringLiteral("notice"));
  icon_->setObjectName(QStringLiteral("noticeIcon"));
  text_->setObjectName(QStringLiteral("noticeText"));
  dismiss_->setObjectName(QStringLiteral("noticeDismiss"));

  icon_->setFixedSize(kIconSize, kIconSize);
  icon_->setAccessibleName(QString());
  dismiss_->setAutoRaise(true);
  dismiss_->setIcon(frameIcon("xmark"));
  dismiss_->setText(tr("Dismiss"));  // drawn only where the theme has no icon
  dismiss_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  dismiss_->setAccessibleName(tr("Dismiss"));
  dismiss_->setToolTip(tr("Dismiss"));
  connect(dismiss_, &QToolButton::clicked, this, [this] {
    if (model_.notice()) model_.setNotice(std::nullopt);
  });

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
  row->setSpacing(kSpacing);
  row->addWidget(icon_, 0, Qt::AlignVCenter);
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
  const char* symbol = error ? "exclamationmark.triangle.fill" : "checkmark.circle.fill";
  icon_->setProperty("symbol", QString::fromLatin1(symbol));
  icon_->setPixmap(frameIcon(symbol).pixmap(kIconSize, kIconSize));
  static_cast<LinesLabel*>(text_)->setFullText(QString::fromStdString(notice->text));
  setAccessibleName(QString::fromStdString(notice->text));
  // Style sheets that select on isError re-read it only when polished again.
  style()->unpolish(this);
  style()->polish(this);
}

void NoticeBar::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window).darker(104));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(rect().topLeft(), rect().topRight());
  QFrame::paintEvent(event);
}

}  // namespace larkvale
