#pragma once
// The App Store lookup service: building the lookup address of an app and
// reading the service's JSON answer into one listing. Pure functions,
// callable from any thread.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kit/sources/ServiceHosts.h"
#include "kit/sources/StoreListing.h"
#include "platform/Error.h"

namespace larkvale::AppStoreLookup {

// The answer is not the JSON the lookup service sends. what() names the
// failure in its case form: dataCorrupted, keyNotFound("results"),
// typeMismatch("trackId").
class DecodeError : public Error {
 public:
  using Error::Error;
};

// Saved answers this young are reused whatever the check's maximum age.
inline constexpr std::chrono::hours answerAge{1};

// <lookup host>/lookup?id=<trackID>&country=<country in lower case>
std::string idLookupURL(int64_t trackID, std::string_view country, const ServiceHosts& hosts = {});

// <lookup host>/lookup?bundleId=<id>&country=<country>[&entity=macSoftware];
// the entity is left out for an iPhone or iPad app wrapped for the Mac.
std::string bundleLookupURL(std::string_view bundleID, std::string_view country, bool wrapped,
                            const ServiceHosts& hosts = {});

// The listing of the installed app in the answer, or nothing when the answer
// holds no row that fits (no rows; several rows none of which matches the
// store identifier or, exactly, the bundle identifier; a row without
// identifier or version). Throws DecodeError when the body is not JSON, has
// no "results" list, or has a read field of the wrong type.
std::optional<StoreListing> decodeLookup(std::string_view data, const std::string& bundleID,
                                         std::optional<int64_t> storeID);

}  // namespace larkvale::AppStoreLookup
