#pragma once
// Small pieces shared by the "Update All That Are Safe" sheet and the
// Settings, History and Help views: a capped column
// and fixed texts with inline marks made into rich text.
// Main thread.
#include <QLabel>
#include <QString>
#include <QWidget>

#include <optional>

#include "app/ui/Fonts.h"
#include "app/ui/Tints.h"

class QVBoxLayout;

namespace larkvale::viewblocks {

// A fixed text with inline marks ("**bold**", "`code`") as rich text. The
// whole text is escaped first, so nothing but those two marks becomes markup.
// Values put in afterwards (through QString::arg) must be escaped with
// escaped(); a mark left open is shown as typed.
QString richText(const QString& fixedMarkdown);

// A value for a rich-text template.
QString escaped(const QString& value);
QString escaped(const std::string& value);

// A column at most `cap` wide at the leading edge of whatever width it is
// given, holding one body. Unlike a maximum width on the body itself, its
// height for a width is the body's height at the width the body really gets,
// so wrapped texts keep every line. The body's layout decides the rest.
class CappedColumn : public QWidget {
  Q_OBJECT

 public:
  CappedColumn(int cap, QWidget* parent = nullptr);

  // The body, made on construction; give it its layout.
  QWidget* body() const { return body_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return body_->hasHeightForWidth(); }
  int heightForWidth(int width) const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int cap_;
  QWidget* body_;
};

// A plain widget holding a vertical stack: no margins, the given spacing,
// items at the leading edge unless they stretch.
QWidget* stackWidget(int spacing, QWidget* parent = nullptr);
QVBoxLayout* stackOf(QWidget* widget);

}  // namespace larkvale::viewblocks
