#include "app/shell/OwnRelease.h"

#include <QString>

#include "kit/model/Version.h"
#include "platform/HttpSession.h"

namespace larkvale {
namespace {

bool forThisSystem(const AppcastItem& item) {
  bool defaultChannel = !item.channel || item.channel->empty();
  bool here = !item.os || QString::fromStdString(*item.os).compare(QStringLiteral("linux"),
                                                                   Qt::CaseInsensitive) == 0;
  return defaultChannel && here;
}

const std::string& shownVersion(const AppcastItem& item) {
  return item.shortVersion && !item.shortVersion->empty() ? *item.shortVersion : item.version;
}

bool isWebAddress(const std::optional<std::string>& text) {
  if (!text) return false;
  std::optional<UrlParts> parts = parseUrl(*text);
  return parts && (parts->scheme == "http" || parts->scheme == "https") && !parts->host.empty();
}

}  // namespace

std::optional<OwnRelease> newerRelease(const std::vector<AppcastItem>& items,
                                       std::string_view currentVersion) {
  const AppcastItem* best = nullptr;
  // A best-so-far scan: the version order is not fit for sorting.
  for (const AppcastItem& item : items) {
    if (!forThisSystem(item)) continue;
    if (!best || Version::compare(best->version, item.version) < 0) best = &item;
  }
  if (!best || Version::compare(shownVersion(*best), currentVersion) <= 0) return std::nullopt;

  OwnRelease release{shownVersion(*best), best->notes, std::nullopt};
  for (const auto* candidate : {&best->link, &best->downloadURL, &best->notesURL}) {
    if (isWebAddress(*candidate)) {
      release.page = *candidate;
      break;
    }
  }
  return release;
}

}  // namespace larkvale
