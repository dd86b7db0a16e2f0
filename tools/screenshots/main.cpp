// Renders every registered shot to PNG, in a light and a dark palette.
//   larkvale_screenshots <output folder> [name filter]
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "tests/support/TempDir.h"
#include "tools/screenshots/Registry.h"

namespace larkvale::screenshots {

std::vector<Shot>& registry() {
  static std::vector<Shot> shots;
  return shots;
}

Registration::Registration(const QString& area, const std::function<void(const Add&)>& shots) {
  shots([&](const QString& name, std::function<QWidget*(const Context&)> build, QSize size) {
    registry().push_back({area + QLatin1Char('-') + name, std::move(build), size});
  });
}

namespace {

QPalette darkPalette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
  p.setColor(QPalette::WindowText, QColor(0xec, 0xec, 0xee));
  p.setColor(QPalette::Base, QColor(0x38, 0x38, 0x3c));
  p.setColor(QPalette::AlternateBase, QColor(0x32, 0x32, 0x36));
  p.setColor(QPalette::Text, QColor(0xec, 0xec, 0xee));
  p.setColor(QPalette::Button, QColor(0x45, 0x45, 0x4a));
  p.setColor(QPalette::ButtonText, QColor(0xec, 0xec, 0xee));
  p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
  p.setColor(QPalette::HighlightedText, Qt::white);
  // Greyed text for what can't be chosen (a menu's status line, a disabled
  // item), as the light palette has it.
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x86));
  p.setColor(QPalette::Disabled, QPalette::Light, QColor(0x2b, 0x2b, 0x2e));
  return p;
}

// Lets queued work finish: background reads, then the deliveries they post.
void settle() {
  for (int round = 0; round < 3; ++round) {
    QThreadPool::globalInstance()->waitForDone(5000);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

bool render(const Shot& shot, const Context& context, const QString& file) {
  std::unique_ptr<QWidget> widget(shot.build(context));
  if (!widget) return false;
  if (shot.size.width() > 0 && shot.size.height() > 0) {
    widget->resize(shot.size);
  } else if (shot.size.width() > 0) {
    widget->setFixedWidth(shot.size.width());  // as tall as that width needs
    widget->adjustSize();
  } else {
    widget->adjustSize();
  }
  widget->show();
  settle();
  bool saved = widget->grab().save(file);
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
  return saved;
}

}  // namespace
}  // namespace larkvale::screenshots

int main(int argc, char** argv) {
  using namespace larkvale::screenshots;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  QString filter = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  QDir().mkpath(out);
  // Every shot writes its files below this folder, and one removes some of
  // them again: without it nothing is rendered.
  std::optional<larkvale::test::TempDir> scratch;
  try {
    scratch.emplace();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "No scratch folder: %s\n", e.what());
    return 1;
  }
  Context context{scratch->path()};

  const QPalette light = QApplication::palette();
  int failures = 0;
  for (const Shot& shot : registry()) {
    if (!filter.isEmpty() && !shot.name.contains(filter)) continue;
    for (bool dark : {false, true}) {
      QApplication::setPalette(dark ? darkPalette() : light);
      QString file = QDir(out).filePath(shot.name + (dark ? "-dark.png" : ".png"));
      if (!render(shot, context, file)) ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
