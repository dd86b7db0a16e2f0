#include "app/screens/movingday/MovingDayBlocks.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

#include <memory>
#include <optional>

#include <unicode/datefmt.h>
#include <unicode/locid.h>

#include "app/ui/ClampedLabel.h"
#include "app/ui/PlainTip.h"
#include "app/ui/SymbolView.h"

namespace larkvale::movingday {
namespace {

// Keeps a widget's text in a tint (or the secondary colour), worked out
// from its parent's palette, again whenever the palette changes (a dark
// theme, say).
class TextColour : public QObject {
 public:
  TextColour(QWidget* widget, std::optional<ui::Tint> tint)
      : QObject(widget), widget_(widget), tint_(tint) {
    widget->installEventFilter(this);
    apply();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_ && event->type() == QEvent::PaletteChange && !applying_) apply();
    return false;
  }

 private:
  void apply() {
    const QPalette source =
        widget_->parentWidget() ? widget_->parentWidget()->palette() : widget_->palette();
    const QColor colour =
        tint_ ? ui::Tints::color(*tint_, source) : ui::Tints::secondaryText(source);
    QPalette own = widget_->palette();
    own.setColor(QPalette::WindowText, colour);
    own.setColor(QPalette::Text, colour);
    applying_ = true;
    widget_->setPalette(own);
    applying_ = false;
  }

  QWidget* widget_;
  std::optional<ui::Tint> tint_;
  bool applying_ = false;
};

// Ctrl+C and the context menu of a widget whose text can be copied.
class CopyAction : public QObject {
 public:
  CopyAction(QWidget* widget, QString text, std::function<void(const QString&)> copy)
      : QObject(widget), text_(std::move(text)), copy_(std::move(copy)) {
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->setContextMenuPolicy(Qt::DefaultContextMenu);
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      copy_(text_);
      return true;
    }
    if (event->type() == QEvent::ContextMenu) {
      auto* menu = new QMenu(static_cast<QWidget*>(watched));
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->addAction(QCoreApplication::translate("larkvale::movingday::CopyAction", "Copy"), this,
                      [this] { copy_(text_); });
      menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    return false;
  }

 private:
  QString text_;
  std::function<void(const QString&)> copy_;
};

}  // namespace

QString sizeText(int64_t bytes) {
  return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString dateTimeText(Date date) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
  const icu::Locale locale(QLocale().bcp47Name().toStdString().c_str());
  std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(
      icu::DateFormat::kMedium, icu::DateFormat::kShort, locale));
  if (!format)
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(ms.count()), QLocale::ShortFormat);
  icu::UnicodeString text;
  UErrorCode status = U_ZERO_ERROR;
  format->format(static_cast<UDate>(ms.count()), text, status);
  if (U_FAILURE(status)) return {};
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

bool nameMatches(std::string_view name, const QString& search) {
  return search.isEmpty() || qs(name).contains(search, Qt::CaseInsensitive);
}

QFont monoFont(ui::TextStyle style, const QFont& base) {
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QFont sized = ui::Fonts::font(style, base);
  if (sized.pointSizeF() > 0) {
    fixed.setPointSizeF(sized.pointSizeF());
  } else {
    fixed.setPixelSize(sized.pixelSize());
  }
  return fixed;
}

void colourText(QWidget* widget, std::optional<ui::Tint> tint) {
  new TextColour(widget, tint);
}

QLabel* textLabel(const QString& text, ui::TextStyle style, QWidget* parent, bool secondary) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(ui::Fonts::font(style, label->font()));
  if (secondary) colourText(label, std::nullopt);
  return label;
}

QLabel* tintedLabel(const QString& text, ui::TextStyle style, ui::Tint tint, QWidget* parent) {
  QLabel* label = textLabel(text, style, parent);
  colourText(label, tint);
  return label;
}

QVBoxLayout* scrollingColumn(QWidget* pane, int maxWidth, const QString& name) {
  auto* content = new QWidget;
  content->setObjectName(name + QStringLiteral("Content"));
  content->setMaximumWidth(maxWidth);
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(16);

  auto* frame = new QWidget;
  auto* frameLayout = new QHBoxLayout(frame);
  frameLayout->setContentsMargins(0, 0, 0, 0);
  frameLayout->addWidget(content, 1);
  frameLayout->addStretch(0);
  auto* scroll = new QScrollArea(pane);
  scroll->setObjectName(name + QStringLiteral("Scroll"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll->setWidget(frame);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
  return column;
}

void makeSelectable(QLabel* label) {
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  label->setCursor(Qt::IBeamCursor);
}

void makeCopyable(QWidget* widget, const QString& text, std::function<void(const QString&)> copy) {
  new CopyAction(widget, text, std::move(copy));
}

QWidget* symbolLine(const QString& symbol, const QString& text, ui::Tint tint, ui::TextStyle style,
                    QWidget* parent) {
  auto* line = new QWidget(parent);
  auto* layout = new QHBoxLayout(line);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  QLabel* label = tintedLabel(text, style, tint, line);
  label->setWordWrap(true);
  const int size = QFontMetrics(label->font()).height();
  layout->addWidget(new ui::SymbolView(symbol, tint, size, line), 0, Qt::AlignTop);
  layout->addWidget(label, 1);
  return line;
}

ElidedLabel::ElidedLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent)
    : QWidget(parent), text_(text), mode_(mode) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setToolTip(ui::plainTip(text_));
  setAccessibleName(text_);
}

QString ElidedLabel::shownText() const {
  QString flat = text_;
  flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return fontMetrics().elidedText(flat, mode_, width());
}

QSize ElidedLabel::sizeHint() const {
  return {fontMetrics().horizontalAdvance(text_) + 1, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
  return {std::min(40, sizeHint().width()), fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
  if (hasFocus()) {
    QStyleOptionFocusRect ring;
    ring.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &ring, &painter, this);
  }
}

TitleRow::TitleRow(const QString& title, const QString& subtitle, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      subtitle_(new ui::ClampedLabel(subtitle, 2, this)),
      buttons_(new QHBoxLayout) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  title_->setObjectName(QStringLiteral("paneTitle"));
  title_->setTextFormat(Qt::PlainText);
  title_->setFont(ui::Fonts::font(ui::TextStyle::title2, font(), QFont::Bold));
  subtitle_->setObjectName(QStringLiteral("paneSubtitle"));
  subtitle_->setFont(ui::Fonts::font(ui::TextStyle::callout, font()));
  colourText(subtitle_, std::nullopt);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(title_);
  texts->addWidget(subtitle_);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addLayout(texts, 1);
  buttons_->setSpacing(8);
  row->addLayout(buttons_);
  row->setAlignment(buttons_, Qt::AlignTop);
}

QString TitleRow::title() const {
  return title_->text();
}

QString TitleRow::subtitle() const {
  return subtitle_->text();
}

ContentUnavailable::ContentUnavailable(const QString& symbol, const QString& title,
                                       const QString& description, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      description_(textLabel(description, ui::TextStyle::body, this, true)) {
  title_->setObjectName(QStringLiteral("unavailableTitle"));
  title_->setTextFormat(Qt::PlainText);
  title_->setFont(ui::Fonts::font(ui::TextStyle::title3, font(), QFont::Bold));
  title_->setAlignment(Qt::AlignHCenter);
  description_->setObjectName(QStringLiteral("unavailableDescription"));
  description_->setAlignment(Qt::AlignHCenter);
  description_->setWordWrap(true);
  const int symbolSize = QFontMetrics(title_->font()).height() * 2 + 8;

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->setSpacing(8);
  layout->addStretch(1);
  layout->addWidget(new ui::SymbolView(symbol, ui::Tint::secondary, symbolSize, this), 0,
                    Qt::AlignHCenter);
  layout->addWidget(title_);
  layout->addWidget(description_);
  layout->addStretch(1);
}

BusyView::BusyView(const QString& label, QWidget* parent)
    : QWidget(parent), label_(textLabel(label, ui::TextStyle::body, this, true)) {
  label_->setObjectName(QStringLiteral("busyLabel"));
  label_->setAlignment(Qt::AlignHCenter);
  auto* spinner = new QProgressBar(this);
  spinner->setObjectName(QStringLiteral("busyIndicator"));
  spinner->setRange(0, 0);
  spinner->setTextVisible(false);
  spinner->setFixedWidth(160);
  spinner->setAccessibleName(label);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(8);
  layout->addStretch(1);
  layout->addWidget(spinner, 0, Qt::AlignHCenter);
  layout->addWidget(label_);
  layout->addStretch(1);
}

}  // namespace larkvale::movingday
