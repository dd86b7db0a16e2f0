// The shared visual blocks, the symbol table and application icons.
#include <QBuffer>
#include <QGridLayout>
#include <QImageWriter>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "app/ui/AppIcon.h"
#include "app/ui/Card.h"
#include "app/ui/Chip.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/Stat.h"
#include "app/ui/SymbolView.h"
#include "app/ui/Symbols.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"
#include "tools/screenshots/Registry.h"

namespace larkvale::screenshots {
namespace {

using ui::Tint;

QWidget* page(int margin = 24) {
  auto* widget = new QWidget;
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(16);
  return widget;
}

QLabel* text(const QString& value) {
  auto* label = new QLabel(value);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

QWidget* cards(const Context&) {
  QWidget* widget = page();
  auto* layout = static_cast<QVBoxLayout*>(widget->layout());
  layout->addWidget(new ui::Card(
      "Moving day", QString("shippingbox"), Tint::teal,
      text("Inventory lists every app with where it came from, where its settings live and what "
           "to do about its licence.")));
  layout->addWidget(new ui::Card("Without a symbol", std::nullopt, Tint::purple,
                                 text("The heading stands alone, with no gap before it.")));
  layout->addWidget(new ui::Card("Empty content", QString("key"), Tint::green));
  layout->addStretch(1);
  return widget;
}

QWidget* header(const Context&) {
  QWidget* widget = page();
  widget->layout()->addWidget(new ui::PaneHeader(
      "Restore Checklist",
      "Work through these steps on the new Mac, top to bottom. Each step says where the app came "
      "from and how to get it back; tick it off once it is done. The list is saved as you go, so "
      "you can stop and come back later, and it can be exported as Markdown or PDF for the day "
      "itself, when this Mac may no longer be at hand."));
  return widget;
}

QWidget* chips(const Context&) {
  QWidget* widget = page();
  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  row->addWidget(new ui::Chip("Sparkle feed", QString("dot.radiowaves.up.forward"), Tint::blue));
  row->addWidget(new ui::Chip("Homebrew cask", QString("mug"), Tint::orange));
  row->addWidget(new ui::Chip("GitHub releases", QString("arrow.triangle.branch"), Tint::purple));
  row->addWidget(new ui::Chip("Up to date", QString("checkmark"), Tint::green));
  row->addWidget(new ui::Chip("No symbol", std::nullopt, Tint::gray));
  row->addStretch(1);
  static_cast<QVBoxLayout*>(widget->layout())->addLayout(row);
  auto* narrow =
      new ui::Chip("A label far too long for the room it is given", QString("bag"), Tint::red);
  narrow->setFixedWidth(140);
  widget->layout()->addWidget(narrow);
  return widget;
}

QWidget* stats(const Context&) {
  QWidget* widget = page();
  auto* row = new QHBoxLayout;
  row->setSpacing(12);
  row->addWidget(new ui::Stat("12", "Updates waiting", Tint::blue));
  row->addWidget(new ui::Stat("148", "Apps checked", Tint::green));
  row->addWidget(
      new ui::Stat("3", "Skipped or held, with a caption too long to fit", Tint::orange));
  row->addWidget(new ui::Stat("", "Empty value", Tint::gray));
  static_cast<QVBoxLayout*>(widget->layout())->addLayout(row);
  return widget;
}

QWidget* symbols(const Context&) {
  auto* widget = new QWidget;
  auto* grid = new QGridLayout(widget);
  grid->setContentsMargins(16, 16, 16, 16);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(6);
  const Tint tints[] = {Tint::blue, Tint::green, Tint::orange, Tint::purple, Tint::red, Tint::teal};
  int index = 0;
  for (const auto& entry : ui::Symbols::table()) {
    QString name = QString::fromUtf8(entry.name.data(), entry.name.size());
    int row = index / 4;
    int column = (index % 4) * 2;
    grid->addWidget(new ui::SymbolView(name, tints[index % 6], 20), row, column);
    auto* label = new QLabel(name);
    label->setTextFormat(Qt::PlainText);
    grid->addWidget(label, row, column + 1);
    ++index;
  }
  return widget;
}

// A bundle whose icon is an .icns file drawn here.
std::filesystem::path makeBundle(const std::filesystem::path& root) {
  auto bundle = root / "Sample.app";
  std::filesystem::create_directories(bundle / "Contents" / "Resources");
  PlistDict info{{"CFBundleIconFile", std::string("Sample")}};
  FileSystem::writeAtomically(bundle / "Contents" / "Info.plist", PropertyList::toXml(info));
  QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(0, 0, 0, 256);
  gradient.setColorAt(0, QColor(0x5a, 0xc8, 0xfa));
  gradient.setColorAt(1, QColor(0x00, 0x7a, 0xff));
  painter.setBrush(gradient);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(16, 16, 224, 224), 52, 52);
  painter.setPen(QPen(Qt::white, 20, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(80, 128, 176, 128);
  painter.drawLine(128, 80, 128, 176);
  painter.end();
  QImageWriter writer(QString::fromStdString((bundle / "Contents/Resources/Sample.icns").string()),
                      "icns");
  writer.write(image);
  return bundle;
}

QWidget* appIcons(const Context& context) {
  auto* widget = new QWidget;
  auto* row = new QHBoxLayout(widget);
  row->setContentsMargins(24, 24, 24, 24);
  row->setSpacing(24);
  QString withIcon = QString::fromStdString(makeBundle(context.scratch).string());
  std::filesystem::create_directories(context.scratch / "Plain.app" / "Contents");
  QString plain = QString::fromStdString((context.scratch / "Plain.app").string());
  for (int size : {20, 44, 64}) row->addWidget(new ui::AppIcon(withIcon, size), 0, Qt::AlignBottom);
  row->addWidget(new ui::AppIcon(plain, 44), 0, Qt::AlignBottom);
  row->addWidget(new ui::AppIcon("/nonexistent/Gone.app", 44), 0, Qt::AlignBottom);
  row->addWidget(new ui::AppIcon("/nonexistent/Gone.app", 20), 0, Qt::AlignBottom);
  return widget;
}

const Registration shots("blocks", [](const Add& add) {
  add("cards", cards, QSize(520, 0));
  add("pane-header", header, QSize(560, 0));
  add("chips", chips, {});
  add("stats", stats, QSize(640, 0));
  add("symbols", symbols, {});
  add("app-icons", appIcons, {});
});

}  // namespace
}  // namespace larkvale::screenshots
