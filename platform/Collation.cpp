#include "platform/Collation.h"

#include <unicode/ucol.h>

#include <memory>

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

}  // namespace larkvale::Collation
