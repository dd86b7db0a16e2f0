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
  // First: a slot of noticeChanged may look at what the notice describes.
  noticeAbout_ = std::monostate{};
  assign(notice_, notice, &AppModel::noticeChanged);
}

void AppModel::note(const QString& text, bool isError, NoticeAbout about) {
  // Every notice and notification is said through here, and most carry
  // outside words (names, OS error texts); none of them may hide, reorder or
  // break the line. Paths in them come written out already.
  Notice said{TextTrim::oneLine(text.toStdString()), isError};
  setNotice(said);
  noticeAbout_ = std::move(about);
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
  // else, or nothing, and stays.
  if (!notice_ || stillHolds(noticeAbout_)) return;
  const Notice ended = *notice_;
  setNotice(std::nullopt);
  emit withdrawn(ended);
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
