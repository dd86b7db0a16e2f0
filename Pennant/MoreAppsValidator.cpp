#include "Pennant/MoreAppsValidator.h"

#include <algorithm>
#include <set>
#include <string>

#include "Pennant/MoreAppsHosts.h"
#include "Pennant/MoreAppsText.h"
#include "Pennant/MoreAppsURL.h"
#include "platform/Json.h"
#include "platform/Strings.h"
#include "platform/WebURL.h"

namespace pennant::MoreAppsValidator {
namespace {

constexpr size_t kMaxLinkCharacters = 200;

bool isLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// 1 to maxLength bytes, each allowed. The allowed sets are ASCII, so bytes and
// characters agree.
template <typename Allowed>
bool onlyOf(std::string_view text, size_t maxLength, Allowed allowed) {
  return !text.empty() && text.size() <= maxLength &&
         std::all_of(text.begin(), text.end(), allowed);
}

bool validSymbol(std::string_view text) {
  return onlyOf(text, 60, [](char c) { return isLower(c) || isDigit(c) || c == '.'; });
}

bool validBundleId(std::string_view text) {
  return onlyOf(text, 100, [](char c) {
    return isLower(c) || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '.' || c == '-';
  });
}

bool validLanguage(std::string_view text) {
  return text.size() == 2 && isLower(text[0]) && isLower(text[1]);
}

bool validTint(std::string_view text) {
  return std::find(tintNames.begin(), tintNames.end(), text) != tintNames.end();
}

// Dot-separated, non-empty labels of lower-case letters, digits and "-".
bool isDNSName(std::string_view host) {
  if (host.empty() || host.front() == '.' || host.back() == '.') return false;
  if (host.find("..") != std::string_view::npos) return false;
  return std::all_of(host.begin(), host.end(),
                     [](char c) { return isLower(c) || isDigit(c) || c == '-' || c == '.'; });
}

bool allowedHost(std::string_view host) {
  using namespace MoreAppsHosts;
  if (host == maker || host == appStore || host == storefront) return true;
  if (host.starts_with("www.") && host.substr(4) == maker) return true;
  return host.size() > storefront.size() + 1 && host.ends_with(storefront) &&
         host[host.size() - storefront.size() - 1] == '.';
}

void require(bool ok, std::string text) {
  if (!ok) throw MoreAppsError::invalid(std::move(text));
}

void validateLocalized(const MoreAppsEntry& app) {
  for (const auto& [language, item] : *app.localized) {
    require(validLanguage(language), "language of " + app.id);
    require(!item.name || validText(*item.name, 40), language + " name of " + app.id);
    require(!item.detail || validText(*item.detail, 120), language + " detail of " + app.id);
  }
}

void validateApp(const MoreAppsEntry& app, std::set<std::string>& seen) {
  require(validSlug(app.id), "id " + MoreAppsText::characterPrefix(app.id, 60));
  require(seen.insert(app.id).second, "duplicate id " + app.id);
  require(!app.bundleId || validBundleId(*app.bundleId), "bundleId of " + app.id);
  require(validText(app.name, 40), "name of " + app.id);
  require(validText(app.detail, 120), "detail of " + app.id);
  require(validSymbol(app.symbol), "symbol of " + app.id);
  require(validTint(app.tint), "tint of " + app.id);
  require(validLink(app.url), "url of " + app.id);
  if (app.localized) validateLocalized(app);
}

}  // namespace

MoreAppsFeed decode(std::string_view bytes) {
  if (bytes.size() > maxBytes) throw MoreAppsError::tooLarge();
  larkvale::Json json;
  try {
    json = larkvale::JsonCoding::parse(bytes);
  } catch (const larkvale::JsonDecodingError&) {
    throw MoreAppsError::notJSON();
  }
  MoreAppsFeed feed = MoreAppsFeed::fromJson(json);
  validate(feed);
  return feed;
}

void validate(const MoreAppsFeed& feed) {
  if (feed.schema != supportedSchema) throw MoreAppsError::schema(feed.schema);
  if (feed.apps.empty() || feed.apps.size() > maxApps) {
    throw MoreAppsError::count(static_cast<int64_t>(feed.apps.size()));
  }
  std::set<std::string> seen;
  for (const auto& app : feed.apps) validateApp(app, seen);
}

bool validLink(std::string_view text) {
  if (!MoreAppsText::fitsIn(text, kMaxLinkCharacters)) return false;
  if (text.find_first_of("?#") != std::string_view::npos) return false;
  if (MoreAppsText::hasSpaceOrControl(text)) return false;
  if (!larkvale::WebURL::isKeepable(text)) return false;
  auto parts = larkvale::WebURL::parseStrict(text);
  if (!parts || parts->scheme != "https" || !parts->host) return false;
  if (parts->userinfo || parts->port || parts->query || parts->fragment) return false;
  std::string host = larkvale::Strings::asciiLowercased(*parts->host);
  return isDNSName(host) && allowedHost(host);
}

bool validText(std::string_view text, size_t maxCharacters) {
  if (MoreAppsText::hasForbiddenScalar(text) || MoreAppsText::isBlank(text)) return false;
  return MoreAppsText::fitsIn(text, maxCharacters);
}

bool validSlug(std::string_view text) {
  return onlyOf(text, 60, [](char c) { return isLower(c) || isDigit(c) || c == '-'; }) &&
         text.front() != '-';
}

}  // namespace pennant::MoreAppsValidator
