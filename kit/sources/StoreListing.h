#pragma once
// One app's App Store listing as the update check uses it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kit/model/Hash.h"
#include "platform/Dates.h"

namespace larkvale {

struct StoreListing {
  int64_t trackID = 0;
  std::string name;     // the store's name, else the bundle identifier looked up
  std::string version;  // exactly as the store gives it
  std::optional<std::string> releaseNotes;  // never empty
  std::optional<Date> releaseDate;
  std::optional<std::string> storeURL;  // the listing's web page
  std::optional<std::string> minimumOS;

  friend bool operator==(const StoreListing&, const StoreListing&) = default;
};

}  // namespace larkvale

template <>
struct std::hash<larkvale::StoreListing> {
  size_t operator()(const larkvale::StoreListing& s) const noexcept {
    return larkvale::hashValues(s.trackID, s.name, s.version, s.releaseNotes, s.releaseDate,
                                s.storeURL, s.minimumOS);
  }
};
