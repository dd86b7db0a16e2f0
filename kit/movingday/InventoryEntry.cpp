#include "kit/movingday/InventoryEntry.h"

#include "kit/model/Hash.h"
#include "kit/model/Links.h"

namespace larkvale {

std::string InventoryEntry::installHow() const {
  return Doc::plain(installHowText());
}

DocText InventoryEntry::installHowText() const {
  using Doc::line, Doc::own;
  switch (source.kind()) {
    case UpdateSource::Kind::homebrew:
      return {own("brew install --cask "), line(caskToken.value_or(source.payload()))};
    case UpdateSource::Kind::github:
      return {own("Download from "),
              line(Links::releasesPage(source.payload(), Links::gitHubHost))};
    case UpdateSource::Kind::appStore:
      return {own("App Store (your Apple Account)")};
    case UpdateSource::Kind::apple:
      return {own("Comes with macOS")};
    case UpdateSource::Kind::sparkle:
    case UpdateSource::Kind::unknown:
      break;
  }
  if (downloadHint) return {own("Download from "), line(*downloadHint)};
  return {own("Download from the developer's website")};
}

std::optional<std::string> InventoryEntry::githubRepo() const {
  if (source.kind() == UpdateSource::Kind::github) return source.payload();
  return std::nullopt;
}

Json toJson(const InventoryEntry& e) {
  Json obj = {{"app", toJson(e.app)},
              {"source", toJson(e.source)},
              {"settings", e.settings},
              {"licence", e.licence},
              {"licenceFiles", e.licenceFiles}};
  JsonCoding::putOptional(obj, "caskToken", e.caskToken);
  JsonCoding::putOptional(obj, "storeTrackID", e.storeTrackID);
  JsonCoding::putOptional(obj, "container", e.container);
  JsonCoding::putOptional(obj, "tip", e.tip);
  JsonCoding::putOptional(obj, "downloadHint", e.downloadHint);
  return obj;
}

template <>
InventoryEntry fromJson<InventoryEntry>(const JsonIn& in) {
  InventoryEntry e;
  e.app = fromJson<InstalledApp>(in.at("app"));
  e.source = fromJson<UpdateSource>(in.at("source"));
  e.caskToken = in.optionalString("caskToken");
  e.storeTrackID = in.optionalInt64("storeTrackID");
  e.settings = in.strings("settings");
  e.container = in.optionalString("container");
  e.licence = in.string("licence");
  e.tip = in.optionalString("tip");
  e.licenceFiles = in.strings("licenceFiles");
  e.downloadHint = in.optionalString("downloadHint");
  return e;
}

}  // namespace larkvale

size_t std::hash<larkvale::InventoryEntry>::operator()(
    const larkvale::InventoryEntry& e) const noexcept {
  return larkvale::hashValues(e.app, e.source, e.caskToken, e.storeTrackID, e.settings, e.container,
                              e.licence, e.tip, e.licenceFiles, e.downloadHint);
}
