// Build tool: renders the app's SVG icon to PNG files of the given sizes,
// "<out>/<N>x<N>/larkvale.png", for the desktop's icon theme.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 4) {
    std::fputs("usage: larkvale_render_icons <icon.svg> <out folder> <size>...\n", stderr);
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "can't read %s\n", argv[1]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    int size = QByteArray(argv[i]).toInt();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    QString folder = QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/larkvale.png"))) {
      std::fprintf(stderr, "can't write the %dx%d icon\n", size, size);
      return 1;
    }
  }
  return 0;
}
