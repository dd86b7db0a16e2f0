#pragma once
// Feed documents for the catalogue tests.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "Pennant/MoreAppsFeed.h"

namespace pennant::test {

// One app object that passes every rule.
inline nlohmann::json validApp(const std::string& id) {
  return {{"id", id},
          {"name", "Name of " + id},
          {"detail", "What " + id + " does."},
          {"symbol", "star.fill"},
          {"tint", "blue"},
          {"url", "https://maker.example/mac/" + id}};
}

// A feed document of the given app objects. Pass a json::array: a braced
// single app would be copied as the object itself by some compilers.
inline nlohmann::json feedOf(nlohmann::json apps, nlohmann::json schema = 1) {
  return {{"schema", std::move(schema)}, {"apps", std::move(apps)}};
}

// A valid feed of `count` apps named app0, app1 …
inline std::string validFeed(int count = 1) {
  nlohmann::json apps = nlohmann::json::array();
  for (int i = 0; i < count; ++i) apps.push_back(validApp("app" + std::to_string(i)));
  return feedOf(apps).dump();
}

}  // namespace pennant::test

namespace pennant {
inline void PrintTo(const MoreAppsError& error, std::ostream* out) {
  *out << "MoreAppsError(" << static_cast<int>(error.kind()) << ", " << error.number() << ", \""
       << error.text() << "\")";
}
}  // namespace pennant
