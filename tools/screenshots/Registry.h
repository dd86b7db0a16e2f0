#pragma once
// The shots the renderer knows. An area adds its shots from its own file:
//
//   static const larkvale::screenshots::Registration shots("catalogue", [](auto& add) {
//     add("window", [](const larkvale::screenshots::Context& c) { return new QWidget; });
//   });
//
// Each builder makes a top-level widget (the renderer owns and deletes it);
// the renderer shows it offscreen, lets pending work settle, and saves
// <area>-<name>.png and <area>-<name>-dark.png.
#include <QSize>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <vector>

namespace larkvale::screenshots {

struct Context {
  std::filesystem::path scratch;  // a temporary folder for files a shot needs
};

struct Shot {
  QString name;  // "<area>-<name>"
  std::function<QWidget*(const Context&)> build;
  QSize size;  // 0 × 0: the widget's own size; w × 0: that width, the height it needs
};

using Add = std::function<void(const QString& name, std::function<QWidget*(const Context&)> build,
                               QSize size)>;

// Every shot registered so far, in registration order.
std::vector<Shot>& registry();

struct Registration {
  Registration(const QString& area, const std::function<void(const Add&)>& shots);
};

}  // namespace larkvale::screenshots
