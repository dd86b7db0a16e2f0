#include "Pennant/MoreAppsText.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <limits>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

namespace pennant::MoreAppsText {
namespace {

// A character break iterator made once; each use works on its own clone, so
// the prototype itself is never moved and threads never share state.
std::unique_ptr<icu::BreakIterator> characterIterator() {
  static const icu::BreakIterator* const prototype = [] {
    UErrorCode status = U_ZERO_ERROR;
    auto* it = icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status);
    if (U_FAILURE(status)) {
      delete it;
      return static_cast<icu::BreakIterator*>(nullptr);
    }
    return it;
  }();
  if (!prototype) return nullptr;
  return std::unique_ptr<icu::BreakIterator>(prototype->clone());
}

// Calls f(scalar) for each scalar while it answers true; false at invalid UTF-8
// or when f stopped the walk.
template <typename F>
bool eachScalar(std::string_view text, F f) {
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0 || !f(c)) return false;
  }
  return true;
}

struct Walk {
  size_t counted = 0;
  size_t offset = 0;  // bytes taken by the counted clusters
  bool ok = false;
};

// Walks the first `limit` grapheme clusters of valid UTF-8.
Walk walkCharacters(std::string_view text, size_t limit) {
  Walk walk;
  auto it = characterIterator();
  if (!it) return walk;
  UErrorCode status = U_ZERO_ERROR;
  UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  if (U_SUCCESS(status)) it->setText(ut, status);
  if (U_SUCCESS(status)) {
    walk.ok = true;
    it->first();
    for (int32_t next = it->next(); next != icu::BreakIterator::DONE && walk.counted < limit;
         next = it->next()) {
      ++walk.counted;
      walk.offset = static_cast<size_t>(next);
    }
  }
  it.reset();  // the iterator refers to the UText, so it goes first
  utext_close(ut);
  return walk;
}

}  // namespace

size_t characterCount(std::string_view text, size_t stopAfter) {
  if (!larkvale::FileSystem::isValidUtf8(text)) return std::numeric_limits<size_t>::max();
  Walk walk = walkCharacters(text, stopAfter);
  return walk.ok ? walk.counted : std::numeric_limits<size_t>::max();
}

bool fitsIn(std::string_view text, size_t maxCharacters) {
  size_t scalars = 0;
  if (!eachScalar(text, [&](UChar32) { return ++scalars <= maxCharacters; })) {
    if (scalars <= maxCharacters) return false;  // invalid UTF-8
    return characterCount(text, maxCharacters + 1) <= maxCharacters;
  }
  return true;
}

std::string characterPrefix(std::string_view text, size_t count) {
  size_t valid = 0;
  eachScalar(text, [&](UChar32 c) {
    valid += static_cast<size_t>(U8_LENGTH(c));
    return true;
  });
  text = text.substr(0, valid);
  return std::string(text.substr(0, walkCharacters(text, count).offset));
}

bool hasForbiddenScalar(std::string_view text) {
  // What the shown-text rule would drop or break (an invisible letter such
  // as a Hangul filler, a variation selector after no emoji) is refused
  // rather than shown changed.
  if (!larkvale::TextTrim::showsAsWritten(text)) return true;
  return !eachScalar(text, [](UChar32 c) {
    // The feed's own rule is stricter than what the screen keeps: no format
    // character at all, the joiner that glues emoji together among them, so
    // that no run of joined emoji can count as one character.
    switch (u_charType(c)) {
      case U_LINE_SEPARATOR:
      case U_PARAGRAPH_SEPARATOR:
      case U_CONTROL_CHAR:
      case U_FORMAT_CHAR:
      case U_SURROGATE:
      case U_PRIVATE_USE_CHAR:
      case U_UNASSIGNED:
        return false;
      default:
        return true;
    }
  });
}

bool isBlank(std::string_view text) {
  bool kept = false;
  bool valid = eachScalar(text, [&](UChar32 c) {
    kept = c != 0x09 && u_charType(c) != U_SPACE_SEPARATOR;
    return !kept;
  });
  return valid && !kept;
}

bool hasSpaceOrControl(std::string_view text) {
  return !eachScalar(
      text, [](UChar32 c) { return c >= 0x20 && !u_hasBinaryProperty(c, UCHAR_WHITE_SPACE); });
}

}  // namespace pennant::MoreAppsText
