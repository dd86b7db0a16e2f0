#include "Pennant/view/MoreAppsListView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListModel.h"
#include "Pennant/view/MoreAppsRowDelegate.h"
#include "Pennant/view/MoreAppsTexts.h"

namespace pennant {

namespace {

constexpr int kMargin = 20;
constexpr int kGroupRadius = 10;

// The rows of a grouped form: as tall as their content (scrolling once the
// room runs out); Return, Enter and Space choose the current row.
class GroupRows : public QListView {
 public:
  using QListView::QListView;

  QSize sizeHint() const override {
    int height = 0;
    for (int row = 0; model() && row < model()->rowCount(); ++row) height += sizeHintForRow(row);
    return {QListView::sizeHint().width(), height + 2 * frameWidth()};
  }
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space:
        if (currentIndex().isValid()) {
          emit clicked(currentIndex());
          return;
        }
        break;
      default:
        break;
    }
    QListView::keyPressEvent(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    QListView::resizeEvent(event);
    scheduleDelayedItemsLayout();  // wrapped text changes the rows' heights
    updateGeometry();
  }
};

// The rounded, filled background of a form group.
class Group : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kGroupRadius, kGroupRadius);
    painter.fillPath(path, palette().color(QPalette::Base));
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.1);
    painter.setPen(edge);
    painter.drawPath(path);
  }
};

}  // namespace

MoreAppsListView::MoreAppsListView(const MoreAppsConfig& config,
                                   std::shared_ptr<MoreAppsLastResult> lastResult,
                                   MoreAppsHooks hooks, QWidget* parent)
    : QWidget(parent),
      list_(new MoreAppsList(config,
                             MoreAppsLoader{.cacheDirectory = MoreAppsLoader::defaultCacheDirectory(
                                                config.bundleID.value_or(std::string()))},
                             std::move(lastResult), this)),
      hooks_(std::move(hooks)) {
  build({});
}

MoreAppsListView::MoreAppsListView(MoreAppsList* list, MoreAppsHooks hooks, QString language,
                                   QWidget* parent)
    : QWidget(parent), list_(list), hooks_(std::move(hooks)) {
  build(language);
}

void MoreAppsListView::build(const QString& language) {
  QString lang = language.isEmpty() ? moreAppsUILanguage() : language;
  model_ = new MoreAppsListModel(list_, lang, this);

  auto* group = new Group(this);
  group->setObjectName(QStringLiteral("moreAppsGroup"));
  rows_ = new GroupRows(group);
  rows_->setObjectName(QStringLiteral("moreAppsList"));
  rows_->setModel(model_);
  rows_->setItemDelegate(new MoreAppsRowDelegate(hooks_.symbol, rows_));
  rows_->setFrameShape(QFrame::NoFrame);
  rows_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rows_->setResizeMode(QListView::Adjust);
  rows_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  rows_->setSelectionMode(QAbstractItemView::NoSelection);
  rows_->setMouseTracking(true);
  rows_->viewport()->setAttribute(Qt::WA_Hover);
  rows_->viewport()->setAutoFillBackground(false);
  rows_->viewport()->setCursor(Qt::PointingHandCursor);
  rows_->setAccessibleName(moreAppsTitle(lang));
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->setContentsMargins(0, 4, 0, 4);
  groupLayout->addWidget(rows_);

  footer_ = new QLabel(moreAppsFooterText(list_->config().isDirect, lang), this);
  footer_->setObjectName(QStringLiteral("moreAppsFooter"));
  footer_->setTextFormat(Qt::PlainText);
  footer_->setWordWrap(true);
  footer_->setFont(MoreAppsLook::caption(font()));
  QPalette dimmed = footer_->palette();
  dimmed.setColor(QPalette::WindowText, MoreAppsLook::secondaryText(palette()));
  footer_->setPalette(dimmed);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(6);
  layout->addWidget(group);
  layout->addWidget(footer_);
  layout->addStretch(1);
  footer_->setContentsMargins(kGroupRadius, 0, kGroupRadius, 0);

  connect(rows_, &QListView::clicked, this, &MoreAppsListView::open);
  connect(model_, &QAbstractItemModel::modelReset, rows_, &QWidget::updateGeometry);
}

void MoreAppsListView::open(const QModelIndex& index) {
  QUrl url = index.data(MoreAppsListModel::UrlRole).toUrl();
  if (url.isValid() && hooks_.openURL) hooks_.openURL(url);
}

void MoreAppsListView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  list_->refresh();
}

}  // namespace pennant
