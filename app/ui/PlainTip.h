#pragma once
// Tooltips (and what's-this texts) have no text format of their own: Qt
// shows any string that Qt::mightBeRichText() accepts as HTML, so a name,
// path or link from outside could bold text, change its size, or make the
// tooltip read and draw a local image. plainTip() makes such text safe to
// hand to setToolTip(), Qt::ToolTipRole or QToolTip::showText(): text Qt
// would take for plain comes back unchanged; anything else comes back
// escaped in a paragraph that keeps its spaces and line breaks, so the
// tooltip reads exactly the given text. Accessible names and the status bar
// never interpret HTML and take the text as it is. Any thread.
#include <QString>

namespace larkvale::ui {

QString plainTip(const QString& text);

}  // namespace larkvale::ui
