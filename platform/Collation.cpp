#include "platform/Collation.h"

#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "platform/Strings.h"

namespace larkvale::Collation {
namespace {

struct CollatorClose {
  void operator()(UCollator* c) const { ucol_close(c); }
};

// Opened once; ucol_strcollUTF8 on a shared collator is safe from any thread.
const UCollator* collator() {
  static const std::unique_ptr<UCollator, CollatorClose> instance = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("en", &status);
    if (U_FAILURE(status)) {
      status = U_ZERO_ERROR;
      c = ucol_open("", &status);
    }
    if (U_SUCCESS(status))
      ucol_setStrength(c, UCOL_SECONDARY);
    else
      c = nullptr;  // no collation data: compare() falls back to byte order
    return std::unique_ptr<UCollator, CollatorClose>(c);
  }();
  return instance.get();
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The collator's order of the ASCII characters, so that texts of plain ASCII
// compare without it: each character's place among them (one place for the
// characters it doesn't tell apart, such as a and A), 0 for those it
// ignores. Two ASCII texts then compare as the sequences of their places,
// provided that every character has one primary weight and the common
// secondary one (checked here: `usable` says so) and that no string of ASCII
// characters has a weight of its own, as none has in the root collation
// (listing the collator's contractions to be sure would cost more than all
// the comparisons it speeds up; the tests compare with the collator itself).
struct AsciiOrder {
  std::array<uint8_t, 128> place{};
  bool usable = false;
};

AsciiOrder makeAsciiOrder() {
  AsciiOrder out;
  const UCollator* c = collator();
  if (!c) {  // compare() goes by bytes
    for (size_t ch = 0; ch < out.place.size(); ++ch) out.place[ch] = static_cast<uint8_t>(ch + 1);
    out.usable = true;
    return out;
  }
  // A key here is the primary weights, 01, the secondary ones.
  const std::string none = sortKey("");
  std::string secondary;
  std::vector<std::pair<std::string, size_t>> weighed;  // primary weights, character
  for (size_t ch = 0; ch < out.place.size(); ++ch) {
    const std::string key = sortKey(std::string(1, static_cast<char>(ch)));
    if (key == none) continue;
    const size_t split = key.find('\x01');
    if (split == 0 || split == std::string::npos) return out;
    if (secondary.empty()) secondary = key.substr(split);
    if (key.compare(split, std::string::npos, secondary) != 0) return out;
    weighed.emplace_back(key.substr(0, split), ch);
  }
  std::sort(weighed.begin(), weighed.end());
  uint8_t place = 0;
  for (size_t i = 0; i < weighed.size(); ++i) {
    if (i == 0 || weighed[i].first != weighed[i - 1].first) ++place;
    out.place[weighed[i].second] = place;
  }
  out.usable = true;
  return out;
}

const AsciiOrder& asciiOrder() {
  static const AsciiOrder order = makeAsciiOrder();
  return order;
}

int compareAscii(std::string_view a, std::string_view b, const AsciiOrder& order) {
  auto placeOf = [&order](char ch) { return order.place[static_cast<unsigned char>(ch)]; };
  // A prefix both share orders nothing (names in a list often share one).
  const auto [endA, endB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  size_t i = static_cast<size_t>(endA - a.begin());
  size_t j = static_cast<size_t>(endB - b.begin());
  for (;; ++i, ++j) {
    while (i < a.size() && placeOf(a[i]) == 0) ++i;
    while (j < b.size() && placeOf(b[j]) == 0) ++j;
    if (i == a.size() || j == b.size()) return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
    if (placeOf(a[i]) != placeOf(b[j])) return placeOf(a[i]) < placeOf(b[j]) ? -1 : 1;
  }
}

}  // namespace

int compare(std::string_view a, std::string_view b) {
  const UCollator* c = collator();
  if (!c) return a < b ? -1 : (a == b ? 0 : 1);
  // Names are nearly always ASCII.
  if (isAscii(a) && isAscii(b)) {
    const AsciiOrder& order = asciiOrder();
    if (order.usable) return compareAscii(a, b, order);
  }
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult r = ucol_strcollUTF8(c, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                        static_cast<int32_t>(b.size()), &status);
  if (U_FAILURE(status)) return a < b ? -1 : (a == b ? 0 : 1);
  return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

std::string sortKey(std::string_view text) {
  const UCollator* c = collator();
  if (!c) return std::string(text);
  const icu::UnicodeString wide = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  std::string key(static_cast<size_t>(wide.length()) * 2 + 16, '\0');
  for (;;) {
    int32_t needed =
        ucol_getSortKey(c, wide.getBuffer(), wide.length(), reinterpret_cast<uint8_t*>(key.data()),
                        static_cast<int32_t>(key.size()));
    if (needed <= 0) return std::string(text);
    if (static_cast<size_t>(needed) <= key.size()) {
      key.resize(static_cast<size_t>(needed) - 1);  // without the closing zero byte
      return key;
    }
    key.assign(static_cast<size_t>(needed), '\0');
  }
}

SortKeys::SortKeys(std::vector<std::string_view> texts)
    : texts_(std::move(texts)), kinds_(texts_.size(), Kind::unkeyed), keys_(texts_.size()) {
  const AsciiOrder& order = asciiOrder();
  if (!order.usable) return;
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (!isAscii(texts_[i])) continue;
    // The places, compared byte by byte, compare as compareAscii() does.
    std::string& places = keys_[i];
    places.reserve(texts_[i].size());
    for (char ch : texts_[i]) {
      if (uint8_t place = order.place[static_cast<unsigned char>(ch)])
        places.push_back(static_cast<char>(place));
    }
    kinds_[i] = Kind::ascii;
  }
}

int SortKeys::compare(size_t a, size_t b) {
  if (kinds_[a] != Kind::ascii || kinds_[b] != Kind::ascii) {
    keyFromCollator(a);
    keyFromCollator(b);
  }
  const int order = keys_[a].compare(keys_[b]);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void SortKeys::keyFromCollator(size_t i) {
  if (kinds_[i] == Kind::keyed) return;
  keys_[i] = sortKey(texts_[i]);
  kinds_[i] = Kind::keyed;
}

std::string lowercased(std::string_view text) {
  // Names are nearly always ASCII, where the rules come down to A-Z.
  if (isAscii(text)) return Strings::asciiLowercased(text);
  std::string out;
  icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(out);
  return out;
}

}  // namespace larkvale::Collation
