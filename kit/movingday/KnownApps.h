#pragma once
// The built-in table of apps whose settings locations, licences and sign-in
// habits are known. Built once on first use (thread-safe) and never changed.
#include <optional>
#include <string_view>
#include <vector>

#include "kit/movingday/KnownApp.h"

namespace larkvale::KnownApps {

// The 33 rows in table order; the first match wins, so order matters.
const std::vector<KnownApp>& all();

// The first row that matches the bundle identifier; nothing when none does.
std::optional<KnownApp> entry(std::string_view bundleID);

}  // namespace larkvale::KnownApps
