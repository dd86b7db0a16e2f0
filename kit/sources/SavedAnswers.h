#pragma once
// The saved web answers: for every URL a metadata file "<key>.json" and a
// body file "<key>.body" in one folder, the key being the SHA-256 of the URL
// text. Reading and writing never report errors: what can't be read counts
// as not saved, and a failed write is dropped. They are a cache, so files
// are replaced through a temporary file (a reader never sees half of one)
// but not flushed to disk. Callers keep a load from overlapping a write of
// the same URL's files (the fetcher does); the functions themselves keep no
// state.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/Dates.h"

namespace larkvale::SavedAnswers {

struct Meta {
  std::string url;  // exactly the URL text the answer belongs to
  Date fetched;     // received, or last confirmed by a 304
  int status = 200;
  std::optional<std::string> etag;
  std::optional<std::string> lastModified;

  friend bool operator==(const Meta&, const Meta&) = default;
};

struct Saved {
  Meta meta;
  std::string body;
};

// {"url":…,"fetched":<seconds since 2001>,"status":…,"etag"?:…,"lastModified"?:…},
// keys in this order.
nlohmann::ordered_json toJson(const Meta& meta);
// Nothing unless every present key has its type (null counts as absent for
// the two optional headers).
std::optional<Meta> metaFromJson(const nlohmann::json& json);

// Whether a header value read from an answer may be sent back in a request:
// no control character (a CR or LF would end the header line early).
bool fitsInHeader(std::string_view value);

// 64 lower-case hex digits naming the files of a URL.
std::string cacheKey(std::string_view url);

std::optional<Saved> load(const std::filesystem::path& folder, const std::string& url);

// Writes the body, and only once it is in place, the metadata. When either
// write fails the URL's metadata file is removed, so a header can never
// stand beside a body it doesn't describe. Validators that don't fit in a
// header are left out.
void save(const std::filesystem::path& folder, const Meta& meta, std::string_view body);

// Moves the `fetched` date of a saved answer that the server confirmed, and
// touches nothing else. `confirmed` is the metadata the confirmation was
// asked with; when the folder holds other metadata by now (a newer answer,
// or none) nothing is written.
void refresh(const std::filesystem::path& folder, const Meta& confirmed, Date fetched);

// Removes both files of every answer fetched more than age seconds before
// now, or dated after now (a clock that went back). Undecodable metadata and
// files of other kinds stay.
void prune(const std::filesystem::path& folder, double age, Date now);

// Seconds from fetched to now; negative for a date in the future.
double ageOf(const Meta& meta, Date now);

}  // namespace larkvale::SavedAnswers
