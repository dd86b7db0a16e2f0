#pragma once
// The app's style: the desktop's own, except for the few standard icons the
// window frame asks for as it is built (the overflow chevron of the toolbar
// and of the menu bar, the clear button of a search field). The desktop's
// style decodes those from image files, and decoding the first image file
// loads every image format plugin with its libraries for the life of the
// process; here they are drawn with the painter, at the size asked, when
// shown. Main thread only.
#include <QProxyStyle>

namespace larkvale::ui {

class DrawnIconStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Wraps `base`, taking it over.
  explicit DrawnIconStyle(QStyle* base);

  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;

  // Whether the style draws `icon` itself.
  static bool draws(StandardPixmap icon);

  // Makes the application's style a DrawnIconStyle around the one it has,
  // once; later calls leave it as it is.
  static void install();
};

}  // namespace larkvale::ui
