#pragma once
// The saved web answers: for every URL a metadata file "<key>.json" and a
// body file "<key>.body" in one folder, the key being the SHA-256 of the URL
// text. Reading and writing never report errors: what can't be read counts
// as not saved, and a failed write is dropped. They are a cache, so files
// are replaced through a temporary file (a reader never sees half of one)
// but not flushed to disk: after a power cut the metadata may stand beside a
// body that is empty or short, so the metadata records the body's size and a
// body of another size counts as not saved (the answer is then asked for
// afresh, without validators a 304 could confirm). Callers keep a load from overlapping a write of
// the same URL's files (the fetcher does); the functions themselves keep no
// state.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale::SavedAnswers {

struct Meta {
  std::string url;  // exactly the URL text the answer belongs to
  Date fetched;     // received, or last confirmed by a 304
  int status = 200;
  std::optional<std::string> etag;
  std::optional<std::string> lastModified;
  // The body's size in bytes; nothing in metadata written before it was kept,
  // which is taken on trust. save() fills it in.
  std::optional<size_t> bodySize = std::nullopt;

  friend bool operator==(const Meta&, const Meta&) = default;
};

struct Saved {
  Meta meta;
  std::string body;
};

// {"url":…,"fetched":<seconds since 2001>,"status":…,"etag"?:…,"lastModified"?:…,
// "bodySize"?:…}, keys in this order.
OrderedJson toJson(const Meta& meta);
// Nothing unless every present key has its type (null counts as absent for
// the two optional headers and the body size, which is a whole number no
// larger than maxBodyBytes).
std::optional<Meta> metaFromJson(const Json& json);

// Whether a header value read from an answer may be sent back in a request:
// no control character (a CR or LF would end the header line early).
bool fitsInHeader(std::string_view value);

// 64 lower-case hex digits naming the files of a URL.
std::string cacheKey(std::string_view url);

// The largest body an answer may have; a body of exactly this size is kept.
inline constexpr size_t maxBodyBytes = size_t{8} * 1024 * 1024;

// Nothing when either file is missing or damaged, the metadata names another
// URL, or the body's size differs from the recorded one.
std::optional<Saved> load(const std::filesystem::path& folder, const std::string& url);

// Writes the body, and only once it is in place, the metadata with the
// body's size (whatever meta.bodySize says). When either
// write fails the URL's metadata file is removed, so a header can never
// stand beside a body it doesn't describe. Validators that don't fit in a
// header are left out.
void save(const std::filesystem::path& folder, const Meta& meta, std::string_view body);

// Moves the `fetched` date of a saved answer that the server confirmed, and
// touches nothing else. `confirmed` is the metadata the confirmation was
// asked with; when the folder holds other metadata by now (a newer answer,
// or none) nothing is written.
void refresh(const std::filesystem::path& folder, const Meta& confirmed, Date fetched);

// Removes both files of every answer fetched more than age before now, or
// dated after now (a clock that went back), and the temporary files that
// saves cut short left behind (see FileSystem::removeStaleTemporaries).
// Undecodable metadata and files of other kinds stay.
void prune(const std::filesystem::path& folder, std::chrono::seconds age, Date now);

// The time from fetched to now; negative for a date in the future. Counted in
// floating-point seconds: a damaged file may date an answer centuries away,
// farther than the clock's integer ticks can span.
std::chrono::duration<double> ageOf(const Meta& meta, Date now);

}  // namespace larkvale::SavedAnswers
