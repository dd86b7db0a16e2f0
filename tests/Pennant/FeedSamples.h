#pragma once
// Feed documents for the catalogue tests.
#include <memory>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "Pennant/MoreAppsFeed.h"
#include "platform/HttpSession.h"

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

// An entry as the feed gives it, named after its id.
inline MoreAppsEntry entry(const std::string& id, const std::string& url,
                           std::optional<std::string> bundleId = std::nullopt) {
  return MoreAppsEntry{id, "Name " + id, "Detail " + id, "star", "blue", url, bundleId, {}};
}

// A valid feed of `count` apps named app0, app1 …
inline std::string validFeed(int count = 1) {
  nlohmann::json apps = nlohmann::json::array();
  for (int i = 0; i < count; ++i) apps.push_back(validApp("app" + std::to_string(i)));
  return feedOf(apps).dump();
}

// A transport through the real HTTP session to a loopback server. The loader
// takes only answers that ended on https and the server speaks plain http, so
// the request goes out as http and the answer reports the https address a TLS
// front would have given.
inline auto loopbackTransport() {
  std::shared_ptr<larkvale::HttpSession> session = larkvale::makeCurlSession();
  return [session](const larkvale::HttpRequest& request) {
    larkvale::HttpRequest plain = request;
    plain.url = "http" + request.url.substr(5);
    larkvale::HttpResponse response = session->get(plain);
    if (response.finalURL.starts_with("http:")) {
      response.finalURL = "https" + response.finalURL.substr(4);
    }
    return response;
  };
}

}  // namespace pennant::test

namespace pennant {
inline void PrintTo(const MoreAppsError& error, std::ostream* out) {
  *out << "MoreAppsError(" << static_cast<int>(error.kind()) << ", " << error.number() << ", \""
       << error.text() << "\")";
}
}  // namespace pennant
