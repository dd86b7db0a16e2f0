#include "kit/model/UpdateSource.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <array>

#include "kit/model/Hash.h"
#include "platform/FileSystem.h"

namespace larkvale {
namespace {

struct CaseTexts {
  std::string_view jsonName, key, label, symbol;
};

constexpr std::array<CaseTexts, 6> kCases{{
    {"sparkle", "sparkle", "Sparkle feed", "dot.radiowaves.up.forward"},
    {"homebrew", "homebrew", "Homebrew cask", "mug"},
    {"github", "github", "GitHub releases", "arrow.triangle.branch"},
    {"appStore", "appstore", "App Store", "bag"},
    {"apple", "apple", "macOS", "applelogo"},
    {"unknown", "unknown", "Unknown source", "questionmark.circle"},
}};

const CaseTexts& texts(UpdateSource::Kind kind) {
  return kCases[static_cast<size_t>(kind)];
}

bool isAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The NFC form, so that canonically equivalent texts compare and hash alike.
// ASCII is its own NFC form and skips ICU; bytes that are not UTF-8 stay as
// they are, so two different broken texts never become equal.
std::string canonical(std::string_view s) {
  if (isAscii(s) || !FileSystem::isValidUtf8(s)) return std::string(s);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return std::string(s);
  icu::UnicodeString normalized =
      nfc->normalize(icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), s.size())), status);
  if (U_FAILURE(status)) return std::string(s);
  std::string out;
  normalized.toUTF8String(out);
  return out;
}

bool comparesAsText(UpdateSource::Kind kind) {
  return kind == UpdateSource::Kind::homebrew || kind == UpdateSource::Kind::github;
}

}  // namespace

std::string_view UpdateSource::key() const {
  return texts(kind_).key;
}
std::string_view UpdateSource::label() const {
  return texts(kind_).label;
}
std::string_view UpdateSource::symbol() const {
  return texts(kind_).symbol;
}

bool operator==(const UpdateSource& a, const UpdateSource& b) {
  if (a.kind_ != b.kind_) return false;
  if (a.payload_ == b.payload_) return true;
  if (!comparesAsText(a.kind_) || (isAscii(a.payload_) && isAscii(b.payload_))) return false;
  return canonical(a.payload_) == canonical(b.payload_);
}

size_t UpdateSource::hash() const {
  size_t seed = 0;
  hashCombine(seed, static_cast<int>(kind_));
  if (hasPayload()) hashCombine(seed, comparesAsText(kind_) ? canonical(payload_) : payload_);
  return seed;
}

template <>
UpdateSource fromJson<UpdateSource>(const JsonIn& in) {
  return readUpdateSource(in);
}

Json toJson(const UpdateSource& source) {
  std::string_view name = texts(source.kind()).jsonName;
  if (!source.hasPayload()) return JsonCoding::enumCase(name);
  return JsonCoding::enumCase(name, source.payload());
}

template <typename In>
UpdateSource readUpdateSource(const In& in) {
  auto [index, inner] =
      in.enumCase({"sparkle", "homebrew", "github", "appStore", "apple", "unknown"});
  switch (static_cast<UpdateSource::Kind>(index)) {
    case UpdateSource::Kind::sparkle:
      return UpdateSource::sparkle(inner.url("_0"));
    case UpdateSource::Kind::homebrew:
      return UpdateSource::homebrew(inner.string("_0"));
    case UpdateSource::Kind::github:
      return UpdateSource::github(inner.string("_0"));
    case UpdateSource::Kind::appStore:
      return UpdateSource::appStore();
    case UpdateSource::Kind::apple:
      return UpdateSource::apple();
    case UpdateSource::Kind::unknown:
      break;
  }
  return UpdateSource::unknown();
}

template UpdateSource readUpdateSource(const JsonIn& in);
template UpdateSource readUpdateSource(const JsonStreamIn& in);

}  // namespace larkvale
