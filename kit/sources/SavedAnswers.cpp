#include "kit/sources/SavedAnswers.h"

#include <algorithm>
#include <system_error>

#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/Json.h"
#include "platform/Sha256.h"

namespace larkvale::SavedAnswers {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Metadata is a few hundred bytes; anything much larger is not ours.
constexpr size_t kMetaLimit = size_t{64} * 1024;

std::optional<Meta> readMeta(const fs::path& file) {
  auto text = FileSystem::readFile(file, kMetaLimit);
  if (!text) return std::nullopt;
  try {
    return metaFromJson(JsonCoding::parse(*text));
  } catch (const JsonDecodingError&) {
    return std::nullopt;
  }
}

void removeQuietly(const fs::path& folder, const fs::path& file) {
  (void)FileRemoval::removeInside(folder, file, FileRemoval::Reach::entry);
}

// "<key>.json" or "<key>.body": the names save() writes.
bool isAnswerFile(std::string_view name) {
  constexpr size_t kKeyLength = 64;
  if (name.size() != kKeyLength + 5 || !(name.ends_with(".json") || name.ends_with(".body")))
    return false;
  return name.substr(0, kKeyLength).find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

}  // namespace

nlohmann::ordered_json toJson(const Meta& meta) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  object["url"] = meta.url;
  object["fetched"] = Dates::secondsSince2001(meta.fetched);
  object["status"] = meta.status;
  if (meta.etag) object["etag"] = *meta.etag;
  if (meta.lastModified) object["lastModified"] = *meta.lastModified;
  if (meta.bodySize) object["bodySize"] = *meta.bodySize;
  return object;
}

std::optional<Meta> metaFromJson(const json& object) {
  try {
    const auto in = JsonIn::withoutPlaces(object);
    Meta meta;
    meta.url = in.string("url");
    const double seconds = in.at("fetched").number();
    const int64_t code = in.int64("status");
    if (code < 0 || code > 999) return std::nullopt;
    // Far beyond any real date, and beyond what the clock type can hold.
    if (!(seconds > -1e11 && seconds < 1e11)) return std::nullopt;
    meta.fetched = Dates::fromSecondsSince2001(seconds);
    meta.status = static_cast<int>(code);
    meta.etag = in.optionalString("etag");
    meta.lastModified = in.optionalString("lastModified");
    if (auto size = in.optionalInt64("bodySize")) {
      if (*size < 0 || static_cast<uint64_t>(*size) > maxBodyBytes) return std::nullopt;
      meta.bodySize = static_cast<size_t>(*size);
    }
    return meta;
  } catch (const JsonDecodingError&) {
    return std::nullopt;
  }
}

std::string cacheKey(std::string_view url) {
  return Sha256::hex(url);
}

std::optional<Saved> load(const fs::path& folder, const std::string& url) {
  std::string key = cacheKey(url);
  auto meta = readMeta(folder / (key + ".json"));
  if (!meta || meta->url != url) return std::nullopt;
  auto body = FileSystem::readFile(folder / (key + ".body"), maxBodyBytes);
  // The files are not flushed, so a power cut can leave the metadata beside a
  // body cut short; its validators would let a 304 confirm the damage.
  if (!body || (meta->bodySize && *meta->bodySize != body->size())) return std::nullopt;
  return Saved{std::move(*meta), std::move(*body)};
}

bool fitsInHeader(std::string_view value) {
  return std::none_of(value.begin(), value.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

void save(const fs::path& folder, const Meta& meta, std::string_view body) {
  std::string key = cacheKey(meta.url);
  fs::path metaFile = folder / (key + ".json");
  Meta kept = meta;
  kept.bodySize = body.size();
  if (kept.etag && !fitsInHeader(*kept.etag)) kept.etag.reset();
  if (kept.lastModified && !fitsInHeader(*kept.lastModified)) kept.lastModified.reset();
  try {
    FileSystem::writeAtomicallyUnflushed(folder / (key + ".body"), body);
    FileSystem::writeAtomicallyUnflushed(metaFile, toJson(kept).dump());
  } catch (const std::exception&) {
    // The old metadata may describe another body now, or carry a validator
    // that would let a 304 confirm content we no longer hold.
    removeQuietly(folder, metaFile);
  }
}

void refresh(const fs::path& folder, const Meta& confirmed, Date fetched) {
  fs::path metaFile = folder / (cacheKey(confirmed.url) + ".json");
  auto current = readMeta(metaFile);
  if (!current || current->url != confirmed.url || current->status != confirmed.status ||
      current->etag != confirmed.etag || current->lastModified != confirmed.lastModified ||
      current->bodySize != confirmed.bodySize)
    return;
  current->fetched = fetched;
  try {
    FileSystem::writeAtomicallyUnflushed(metaFile, toJson(*current).dump());
  } catch (const std::exception&) {
    // The old date stays; the answer is only asked for again sooner.
  }
}

std::chrono::duration<double> ageOf(const Meta& meta, Date now) {
  using Seconds = std::chrono::duration<double>;
  return Seconds(now.time_since_epoch()) - Seconds(meta.fetched.time_since_epoch());
}

void prune(const fs::path& folder, std::chrono::seconds age, Date now) {
  // A save cut short (a kill, a full disk) leaves its temporary file behind.
  FileSystem::removeStaleTemporaries(folder, isAnswerFile);
  auto entries = FileSystem::listEntries(folder);
  if (!entries) return;
  for (const auto& entry : *entries) {
    if (entry.path.extension() != ".json") continue;
    auto meta = readMeta(entry.path);
    if (!meta) continue;
    const auto old = ageOf(*meta, now);
    if (old > age || old < decltype(old)::zero()) {
      removeQuietly(folder, entry.path);
      fs::path body = entry.path;
      removeQuietly(folder, body.replace_extension(".body"));
    }
  }
}

}  // namespace larkvale::SavedAnswers
