#include "kit/sources/AppcastDates.h"

#include <sys/utsname.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <array>
#include <cmath>
#include <iterator>

#include "kit/sources/Appcast.h"
#include "kit/sources/AppcastText.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"

namespace larkvale {
namespace {

constexpr const char* kPatterns[] = {
    "EEE, dd MMM yyyy HH:mm:ss Z", "EEE, d MMM yyyy HH:mm:ss Z", "EEE, dd MMM yyyy HH:mm:ss zzz",
    "dd MMM yyyy HH:mm:ss Z",      "yyyy-MM-dd'T'HH:mm:ssZ",     "yyyy-MM-dd",
};

std::unique_ptr<icu::SimpleDateFormat> makeFormat(const char* pattern) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern),
                                                        icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return nullptr;
  format->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
  // Strict: impossible dates such as 31 Feb are refused, not rolled over.
  format->setLenient(false);
  return format;
}

}  // namespace

struct FeedDateReader::Formats {
  std::array<std::unique_ptr<icu::SimpleDateFormat>, std::size(kPatterns)> byPattern;
};

FeedDateReader::FeedDateReader() = default;
FeedDateReader::~FeedDateReader() = default;

std::optional<Date> FeedDateReader::read(std::string_view raw) {
  const std::string_view trimmed = FeedText::trimmed(raw);
  if (trimmed.empty() || trimmed.size() > 200) return std::nullopt;
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(trimmed.data(), static_cast<int32_t>(trimmed.size())));
  if (!formats_) formats_ = std::make_unique<Formats>();
  for (size_t i = 0; i < std::size(kPatterns); ++i) {
    auto& format = formats_->byPattern[i];
    if (!format) format = makeFormat(kPatterns[i]);
    if (!format) continue;
    icu::ParsePosition position(0);
    const UDate millis = format->parse(text, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != text.length() ||
        !std::isfinite(millis))
      continue;
    const auto since1970 = std::chrono::milliseconds(static_cast<int64_t>(millis));
    return Date(std::chrono::duration_cast<Date::duration>(since1970));
  }
  return std::nullopt;
}

std::optional<Date> Appcast::parseFeedDate(std::string_view text) {
  return FeedDateReader().read(text);
}

std::string Appcast::versionTriple(std::string_view text) {
  std::string out;
  for (int part = 0; part < 3; ++part) {
    uint64_t value = 0;
    size_t digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
      if (digits++ < 9) value = value * 10 + static_cast<uint64_t>(text.front() - '0');
      text.remove_prefix(1);
    }
    if (part > 0) out += '.';
    out += std::to_string(value);
    const size_t dot = text.find('.');
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  return out;
}

std::string Appcast::osVersionString(const std::filesystem::path& systemVersionPlist,
                                     std::string_view kernelRelease) {
  if (auto bytes = FileSystem::readFile(systemVersionPlist, 1 << 20)) {
    if (auto plist = PropertyList::parse(*bytes); plist && plist->dict()) {
      auto it = plist->dict()->find("ProductVersion");
      if (it != plist->dict()->end() && it->second.string())
        return versionTriple(*it->second.string());
    }
  }
  return versionTriple(kernelRelease);
}

std::string Appcast::osVersionString() {
  struct utsname names {};
  const std::string release = ::uname(&names) == 0 ? names.release : "";
  return osVersionString(kSystemVersionPlist, release);
}

}  // namespace larkvale
