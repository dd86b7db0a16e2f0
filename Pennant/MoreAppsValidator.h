#pragma once
// The one gate between every source of the catalogue feed and the screen.
// A feed passes only when every field of every app keeps its rule; the first
// broken rule rejects the whole feed (no partial acceptance, no repair).
// Pure functions; any thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Pennant/MoreAppsFeed.h"

namespace pennant::MoreAppsValidator {

inline constexpr int64_t supportedSchema = 1;
inline constexpr size_t maxApps = 60;
inline constexpr size_t maxBytes = 262144;

// The tint names, in their stored order; compared exactly.
inline constexpr std::array<std::string_view, 13> tintNames = {
    "red",  "orange", "yellow", "green", "mint",  "teal", "cyan",
    "blue", "indigo", "purple", "pink",  "brown", "gray"};

// Size check (before any parsing), JSON reading, then validate. Throws
// MoreAppsError: tooLarge above maxBytes, notJSON for anything that is no feed
// document (bad JSON or UTF-8, nesting deeper than 512, missing key, wrong
// type), else what validate throws. Returns the feed unchanged.
MoreAppsFeed decode(std::string_view bytes);

// Throws MoreAppsError at the first broken rule: schema, then the number of
// apps, then each app in order (its `invalid` text names the field and app).
void validate(const MoreAppsFeed& feed);

// A plain https link without query, fragment, user or port, at most 200
// characters, to the maker's site (or www. of it), the App Store, the
// storefront or a subdomain of the storefront.
bool validLink(std::string_view text);

// At most `maxCharacters` user-perceived characters, not blank after trimming
// space separators and tabs, and no line or paragraph separator, control,
// format (the zero-width joiner too), surrogate, private-use or unassigned
// scalar, nor anything the shown-text rule drops (MoreAppsText::
// hasForbiddenScalar). Emoji without joiners pass.
bool validText(std::string_view text, size_t maxCharacters);

// 1 to 60 of "a"–"z", "0"–"9" and "-", not beginning with "-".
bool validSlug(std::string_view text);

}  // namespace pennant::MoreAppsValidator
