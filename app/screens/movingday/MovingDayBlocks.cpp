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
#include <QProgressBar>
#include <QScrollArea>
#include <QVBoxLayout>

#include <memory>
#include <optional>

#include <unicode/datefmt.h>
#include <unicode/locid.h>

#include "app/model/ShownText.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/EmptyState.h"
#include "app/ui/PlainTip.h"
#include "app/ui/TextLocale.h"
#include "app/ui/TintLabel.h"

namespace larkvale::movingday {
namespace {

// Ctrl+C and the context menu of a widget whose text can be copied.
class CopyAction : public QObject {
 public:
  CopyAction(QWidget* widget, std::function<void()> copy)
      : QObject(widget), copy_(std::move(copy)) {
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->setContextMenuPolicy(Qt::DefaultContextMenu);
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      copy_();
      return true;
    }
    if (event->type() == QEvent::ContextMenu) {
      auto* menu = new QMenu(static_cast<QWidget*>(watched));
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->addAction(QCoreApplication::translate("larkvale::movingday::CopyAction", "Copy"), this,
                      [this] { copy_(); });
      menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    return false;
  }

 private:
  std::function<void()> copy_;
};

}  // namespace

QString shownLine(std::string_view text) {
  return shown::line(text);
}

QString shownPath(std::string_view path) {
  return shown::path(path);
}

QString sizeText(int64_t bytes) {
  return ui::textLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString dateTimeText(Date date) {
  const QLocale& words = ui::textLocale();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
  const icu::Locale locale(words.name().toUtf8().constData());
  std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(
      icu::DateFormat::kMedium, icu::DateFormat::kShort, locale));
  if (!format)
    return words.toString(QDateTime::fromMSecsSinceEpoch(ms.count()), QLocale::ShortFormat);
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

QLabel* textLabel(const QString& text, ui::TextStyle style, QWidget* parent, bool secondary) {
  return new ui::TintLabel(text, style,
                           secondary ? std::optional(ui::Tint::secondary) : std::nullopt, parent);
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

void makeCopyable(QWidget* widget, std::function<void()> copy) {
  new CopyAction(widget, std::move(copy));
}

ui::ClampedLabel* pathLabel(const std::string& path, int lines, ui::TextStyle style,
                            QWidget* parent, std::function<void(const std::string&)> copy) {
  const QString shown = shownPath(path);
  auto* label = new ui::ClampedLabel(shown, lines, parent);
  if (lines == 1) label->setElideMode(Qt::ElideMiddle);
  label->setFont(monoFont(style, label->font()));
  label->setToolTip(ui::plainTip(shown));
  makeCopyable(label, [path, copy = std::move(copy)] { copy(path); });
  return label;
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
  ui::tintText(subtitle_, ui::Tint::secondary);

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

ui::EmptyState* contentUnavailable(const QString& symbol, const QString& title,
                                   const QString& description, QWidget* parent) {
  auto* view = new ui::EmptyState(parent);
  view->layout()->setContentsMargins(24, 24, 24, 24);
  const QFont titleFont = ui::Fonts::font(ui::TextStyle::title3, view->font(), QFont::Bold);
  view->setSymbolSize(QFontMetrics(titleFont).height() * 2 + 8);
  view->setContent(symbol, title, description);
  return view;
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
