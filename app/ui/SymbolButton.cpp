#include "app/ui/SymbolButton.h"

#include <QAbstractButton>
#include <QEvent>
#include <QIcon>

#include "app/ui/Symbols.h"

namespace larkvale::ui {
namespace {

class SymbolTint : public QObject {
 public:
  SymbolTint(QAbstractButton* button, QString symbol)
      : QObject(button), button_(button), symbol_(std::move(symbol)) {
    setObjectName(QStringLiteral("symbolTint"));
    button->installEventFilter(this);
    apply();
  }

  void setSymbol(const QString& symbol) {
    symbol_ = symbol;
    apply();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::PaletteChange:
      case QEvent::StyleChange:
        if (watched == button_) apply();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void apply() {
    const std::string name = symbol_.toStdString();
    const QPalette& palette = button_->palette();
    const QPalette::ColorRole role = button_->foregroundRole();
    const int size = button_->iconSize().height();
    const qreal ratio = button_->devicePixelRatioF();
    QIcon icon;
    icon.addPixmap(Symbols::tinted(name, palette.color(QPalette::Active, role), size, ratio),
                   QIcon::Normal);
    icon.addPixmap(Symbols::tinted(name, palette.color(QPalette::Disabled, role), size, ratio),
                   QIcon::Disabled);
    button_->setIcon(icon);
  }

  QAbstractButton* button_;
  QString symbol_;
};

}  // namespace

void setButtonSymbol(QAbstractButton* button, const QString& symbol) {
  // Only SymbolTint takes this name.
  if (QObject* tint =
          button->findChild<QObject*>(QStringLiteral("symbolTint"), Qt::FindDirectChildrenOnly)) {
    static_cast<SymbolTint*>(tint)->setSymbol(symbol);
  } else {
    new SymbolTint(button, symbol);
  }
}

}  // namespace larkvale::ui
