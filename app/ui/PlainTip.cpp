#include "app/ui/PlainTip.h"

#include <QTextDocument>

namespace larkvale::ui {

QString plainTip(const QString& text) {
  if (!Qt::mightBeRichText(text)) return text;
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

}  // namespace larkvale::ui
