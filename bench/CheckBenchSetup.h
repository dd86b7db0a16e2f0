#pragma once
// The apps and the loopback server the check benchmarks share: 300 apps,
// every tenth from the App Store and the rest with a Sparkle feed, every feed
// answered with the same 20 releases.
#include <memory>
#include <string>
#include <vector>

#include "kit/model/InstalledApp.h"
#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/ServiceHosts.h"
#include "tests/support/TestServer.h"

namespace larkvale::bench {

inline constexpr int kCheckApps = 300;
inline constexpr const char* kLookupAnswer =
    R"({"results":[{"trackId":1,"version":"9.0","bundleId":"x"}]})";

// Releases 2.0 to 2.19 (builds 100 to 119), each with notes and a date.
inline std::string feedBody() {
  std::string items;
  for (int i = 0; i < 20; ++i)
    items += "<item><title>Release " + std::to_string(i) + "</title><sparkle:version>" +
             std::to_string(100 + i) + "</sparkle:version><sparkle:shortVersionString>2." +
             std::to_string(i) +
             "</sparkle:shortVersionString><description><![CDATA[<p>Fixes and <b>speed</b>."
             "</p>]]></description><pubDate>Mon, 01 Jan 2024 10:00:00 +0000</pubDate>"
             "<enclosure url=\"https://example.com/a.zip\" length=\"100\"/></item>";
  return "<rss><channel><title>Feed</title>" + items + "</channel></rss>";
}

// Version 2.0 build 100; app i's feed is feedBase + "/feed/" + i.
inline std::vector<InstalledApp> checkApps(const std::string& feedBase, int count = kCheckApps) {
  std::vector<InstalledApp> apps;
  for (int i = 0; i < count; ++i) {
    InstalledApp app;
    app.path = "/Applications/App" + std::to_string(i) + ".app";
    app.name = "App " + std::to_string(i);
    app.bundleID = "com.example.app" + std::to_string(i);
    app.version = "2.0";
    app.build = "100";
    if (i % 10 == 0) {
      app.hasAppStoreReceipt = true;
      app.storeID = i + 1;
    } else {
      app.feedURL = feedBase + "/feed/" + std::to_string(i);
    }
    apps.push_back(app);
  }
  return apps;
}

// feedBody at /feed/<n> and kLookupAnswer at /lookup. Without their own
// types, both go out as a type the server never compresses, so every client
// receives the same bytes whatever encodings it accepts.
inline void serveCheckAnswers(httplib::Server& server, bool ownTypes = true) {
  const char* feedType = ownTypes ? "application/xml" : "application/octet-stream";
  const char* lookupType = ownTypes ? "application/json" : "application/octet-stream";
  server.Get(R"(/feed/\d+)", [body = feedBody(), feedType](const auto&, auto& res) {
    res.set_content(body, feedType);
  });
  server.Get("/lookup",
             [lookupType](const auto&, auto& res) { res.set_content(kLookupAnswer, lookupType); });
}

// Serves the check's answers; the App Store lookups of `hosts` point at it.
struct CheckServer {
  test::TestServer server;
  ServiceHosts hosts;
  std::vector<InstalledApp> apps;

  CheckServer() {
    serveCheckAnswers(server.server());
    server.start();
    hosts.appStoreLookup = server.url();
    apps = checkApps(server.url());
  }
};

// A fetcher that saves in folder and never waits between requests.
inline std::unique_ptr<PoliteFetcher> unspacedFetcher(const std::filesystem::path& folder) {
  PoliteFetcher::Options options;
  options.spacing = {};
  return std::make_unique<PoliteFetcher>(makeCurlSession(), folder, options);
}

}  // namespace larkvale::bench
