#include "platform/Collation.h"

#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>

#include <algorithm>
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

}  // namespace

int compare(std::string_view a, std::string_view b) {
  const UCollator* c = collator();
  if (!c) return a < b ? -1 : (a == b ? 0 : 1);
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

std::string lowercased(std::string_view text) {
  // Names are nearly always ASCII, where the rules come down to A-Z.
  if (std::all_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return Strings::asciiLowercased(text);
  std::string out;
  icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(out);
  return out;
}

}  // namespace larkvale::Collation
