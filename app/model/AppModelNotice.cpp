// The notice: said, and withdrawn once the state it describes has ended.
#include "app/model/AppModel.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

}  // namespace

void AppModel::setNotice(const OptionalNotice& notice) {
  show(notice, std::monostate{});
}

void AppModel::show(const OptionalNotice& notice, NoticeAbout about) {
  // Copies elsewhere are known by their words alone: words said again tell
  // of what they are said about now, and go when that ends. So no words are
  // kept twice, nor kept while on show.
  if (notice) {
    std::erase_if(replaced_, [&notice](const Replaced& kept) { return kept.notice == *notice; });
  }
  // A notice replaced while its state holds may live on elsewhere (carried
  // to the desktop): that copy must still go when the state ends.
  if (notice_ && notice_ != notice && !std::holds_alternative<std::monostate>(noticeAbout_)) {
    replaced_.push_back({*notice_, noticeAbout_});
  }
  // First: a slot of noticeChanged may look at what the notice describes.
  noticeAbout_ = std::move(about);
  assign(notice_, notice, &AppModel::noticeChanged);
}

void AppModel::note(const QString& text, bool isError, NoticeAbout about) {
  // Every notice and notification is said through here, and most carry
  // outside words (names, OS error texts); none of them may hide, reorder or
  // break the line. Paths in them come written out already.
  Notice said{TextTrim::oneLine(text.toStdString()), isError};
  show(said, std::move(about));
  // Each outcome is news, even one that reads as the notice already shown:
  // a failure met again must reach a user who dismissed it the first time.
  emit noted(said);
}

void AppModel::watchNoticeStates() {
  // Every value a described state is read from. The model's own
  // connections, made first, so the notice is withdrawn before any screen
  // redraws from the same change.
  for (auto changed : {&AppModel::stateChanged, &AppModel::paneChanged, &AppModel::selectionChanged,
                       &AppModel::safeSheetChanged, &AppModel::safeRunChanged,
                       &AppModel::loginItemOnChanged, &AppModel::newMacLoadingChanged}) {
    connect(this, changed, this, &AppModel::reviewNotice);
  }
}

void AppModel::reviewNotice() {
  // Only the notice on show is withdrawn: a newer one describes something
  // else, or nothing, and stays. A replaced one is no longer there to go,
  // but its copies elsewhere are.
  std::vector<Notice> ended;
  if (notice_ && !stillHolds(noticeAbout_)) {
    ended.push_back(*notice_);
    noticeAbout_ = std::monostate{};  // ended: nothing of it is kept
    setNotice(std::nullopt);
  }
  std::erase_if(replaced_, [this, &ended](const Replaced& replaced) {
    if (stillHolds(replaced.about)) return false;
    ended.push_back(replaced.notice);
    return true;
  });
  for (const Notice& notice : ended) emit withdrawn(notice);
}

bool AppModel::stillHolds(const NoticeAbout& about) const {
  return std::visit(
      Overloaded{
          [](std::monostate) { return true; },
          [this](const SavesFailing&) { return saveFailing_; },
          [this](const StepCommand& shown) {
            // The sheet shows the command only under the step it stands at.
            if (!safeSheet_ || !safeRun_ || shown.run != safeRunSerial_) return false;
            const auto step = safeRun_->current();
            return step && step->id() == shown.step;
          },
          [this](const PageCommand& page) {
            // The three lists share one detail column; the other panes have none.
            if (pane_ != Pane::updates && pane_ != Pane::allApps && pane_ != Pane::held) {
              return false;
            }
            const std::optional<AppUpdate> selected = selectedUpdate();
            return selected && selected->app.path == page.path && selected->cask().has_value();
          },
          [this](const LoginItemUnchanged& item) { return loginItemOn_ != item.wanted; },
          [this](const NewMacFailure& failed) { return failed.run == newMacRun_; },
      },
      about);
}

AppModel::NoticeAbout AppModel::commandShownAt(UpgradeFrom from,
                                               const std::vector<AppUpdate>& updates) const {
  switch (from) {
    case UpgradeFrom::caskPage:
      for (const AppUpdate& update : updates) {
        if (update.cask()) return PageCommand{update.app.path};
      }
      return std::monostate{};
    case UpgradeFrom::caskList:
      // Each cask's page has its Copy Command for as long as there are casks.
      return std::monostate{};
    case UpgradeFrom::safeRun: {
      const auto step = safeRun_ ? safeRun_->current() : std::nullopt;
      return StepCommand{safeRunSerial_, step ? step->id() : std::string()};
    }
  }
  return std::monostate{};
}

}  // namespace larkvale
