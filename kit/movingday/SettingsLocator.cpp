#include "kit/movingday/SettingsLocator.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "platform/Collation.h"
#include "platform/FileSystem.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSupportFolder = "Library/Application Support";
constexpr std::string_view kSupportTilde = "~/Library/Application Support/";
constexpr size_t kMaxLicenceFiles = 6;

// The last component of a bundle path, ignoring trailing slashes.
std::string lastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string removingAll(std::string text, std::string_view what) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

// The last non-empty dot-separated piece of a bundle identifier.
std::optional<std::string_view> lastPiece(std::string_view bundleID) {
  while (!bundleID.empty() && bundleID.back() == '.') bundleID.remove_suffix(1);
  if (bundleID.empty()) return std::nullopt;
  size_t dot = bundleID.rfind('.');
  return dot == std::string_view::npos ? bundleID : bundleID.substr(dot + 1);
}

size_t codePointCount(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::vector<std::string> listSupportNames(const fs::path& home) {
  std::vector<std::string> names;
  auto listed = FileSystem::listNames(home / kSupportFolder);
  if (!listed) return names;
  for (auto& name : *listed) {
    if (!name.starts_with('.')) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

std::string normalisedKey(std::string_view text) {
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  u.toLower(icu::Locale::getRoot());
  icu::UnicodeString kept;
  // A combining mark stays with the letter it belongs to, as a user would
  // see one character, and goes with a dropped one.
  bool keptBase = false;
  for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1)) {
    const UChar32 c = u.char32At(i);
    const uint32_t mask = U_GET_GC_MASK(c);
    if (mask & (U_GC_L_MASK | U_GC_N_MASK)) {
      kept.append(c);
      keptBase = true;
    } else if ((mask & U_GC_M_MASK) && keptBase) {
      kept.append(c);
    } else {
      keptBase = false;
    }
  }
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_SUCCESS(status)) {
    icu::UnicodeString composed = nfc->normalize(kept, status);
    if (U_SUCCESS(status)) kept = composed;
  }
  std::string out;
  kept.toUTF8String(out);
  return out;
}

SettingsLocator::SettingsLocator(fs::path home)
    : home_(std::move(home)), supportNames_(listSupportNames(home_)) {
  supportKeys_.reserve(supportNames_.size());
  for (const auto& name : supportNames_) supportKeys_.push_back(normalisedKey(name));
}

const std::unordered_set<std::string>& SettingsLocator::stopWords() {
  static const std::unordered_set<std::string> words = {
      "app", "mac", "macos", "osx", "desktop", "client", "helper", "studio", "pro", "lite", "beta"};
  return words;
}

std::optional<fs::path> SettingsLocator::resolve(std::string_view path) const {
  if (!path.starts_with("~/")) return fs::path(path);
  return FileSystem::joinInside(home_, path.substr(2));
}

std::string SettingsLocator::expand(std::string_view path) const {
  if (!path.starts_with("~/")) return std::string(path);
  if (auto joined = resolve(path)) return joined->string();
  // Not a clean relative path: still appended as text, so the result stays
  // under home for the reader even though it is never touched.
  std::string base = home_.string();
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/" + std::string(path.substr(2));
}

bool SettingsLocator::exists(std::string_view path) const {
  auto resolved = resolve(path);
  return resolved && FileSystem::exists(*resolved);
}

std::vector<std::string> SettingsLocator::supportCandidates(const InstalledApp& app) const {
  std::vector<std::string> keys = {normalisedKey(app.bundleID), normalisedKey(app.name),
                                   normalisedKey(removingAll(lastComponent(app.path), ".app"))};
  if (auto piece = lastPiece(app.bundleID); piece && codePointCount(*piece) >= 4 &&
                                            !stopWords().contains(Collation::lowercased(*piece))) {
    keys.push_back(normalisedKey(*piece));
  }
  std::erase(keys, std::string());

  std::vector<std::string> names;
  for (size_t i = 0; i < supportNames_.size(); ++i) {
    if (std::find(keys.begin(), keys.end(), supportKeys_[i]) != keys.end()) {
      names.push_back(supportNames_[i]);
    }
  }
  std::sort(names.begin(), names.end());
  for (auto& name : names) name = std::string(kSupportTilde) + name;
  return names;
}

std::vector<std::string> SettingsLocator::licenceLookingFiles(
    const std::vector<std::string>& paths) const {
  std::vector<std::string> found;
  for (const auto& path : paths) {
    auto folder = resolve(path);
    if (!folder) continue;
    auto names = FileSystem::listNames(*folder);
    if (!names) continue;
    std::sort(names->begin(), names->end());
    const std::string prefix = expand(path) + "/";
    for (const auto& name : *names) {
      if (!looksLikeLicenceFile(name)) continue;
      found.push_back(prefix + name);
      if (found.size() == kMaxLicenceFiles) return found;
    }
  }
  return found;
}

}  // namespace larkvale
