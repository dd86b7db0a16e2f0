// The loader over the real HTTP session against a loopback server.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "Pennant/MoreAppsLoader.h"
#include "Pennant/MoreAppsValidator.h"
#include "tests/Pennant/FeedSamples.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace pennant {
namespace {

using larkvale::HttpRequest;
using larkvale::HttpResponse;
namespace fs = std::filesystem;

class MoreAppsLoaderHttpTest : public ::testing::Test {
 protected:
  larkvale::test::TempDir temp;
  larkvale::test::TestServer server;
  larkvale::Date clock = larkvale::Dates::fromSecondsSince2001(800000000);
  std::shared_ptr<larkvale::HttpSession> session = larkvale::makeCurlSession();

  // The loopback server speaks plain http; the loader only takes answers
  // that ended on https, so the transport reports the final address as the
  // https one a TLS front would have given. Hosts and paths stay as they were.
  MoreAppsLoader loader(const std::string& path) {
    return MoreAppsLoader{
        .feedURL = "https" + server.url(path).substr(4),
        .cacheDirectory = temp / "cache",
        .bundled = [] { return std::nullopt; },
        .now = [this] { return clock; },
        .transport =
            [this](const HttpRequest& request) {
              HttpRequest plain = request;
              plain.url = "http" + request.url.substr(5);
              HttpResponse response = session->get(plain);
              if (response.finalURL.starts_with("http:")) {
                response.finalURL = "https" + response.finalURL.substr(4);
              }
              return response;
            },
    };
  }

  void nextDay() { clock += std::chrono::hours(24); }
  void serve(const std::string& path, std::string body) {
    server.server().Get(path, [body](const httplib::Request&, httplib::Response& res) {
      res.set_content(body, "application/json");
    });
  }
};

TEST_F(MoreAppsLoaderHttpTest, SendsAcceptAndConditionalHeaders) {
  std::map<std::string, std::string> seen;  // the headers the loader names
  int status = 200;
  server.server().Get("/mac/more-apps.json",
                      [&](const httplib::Request& req, httplib::Response& res) {
                        seen.clear();
                        for (const char* name : {"Accept", "If-None-Match", "If-Modified-Since"}) {
                          if (req.has_header(name)) seen[name] = req.get_header_value(name);
                        }
                        res.status = status;
                        if (status == 200) {
                          res.set_header("ETag", "\"v1\"");
                          res.set_header("Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT");
                          res.set_content(test::validFeed(2), "application/json");
                        }
                      });
  server.start();

  auto feed = loader("/mac/more-apps.json").fetch();
  ASSERT_TRUE(feed);
  EXPECT_EQ(seen, (std::map<std::string, std::string>{{"Accept", "application/json"}}));

  nextDay();
  status = 304;
  EXPECT_FALSE(loader("/mac/more-apps.json").fetch());
  EXPECT_EQ(seen, (std::map<std::string, std::string>{
                      {"Accept", "application/json"},
                      {"If-None-Match", "\"v1\""},
                      {"If-Modified-Since", "Tue, 01 Dec 2026 10:00:00 GMT"}}));
  EXPECT_EQ(larkvale::test::readAll(temp / "cache/more-apps.json"), test::validFeed(2));
}

TEST_F(MoreAppsLoaderHttpTest, StopsTheTransferPastTheFeedLimit) {
  std::string feed = test::validFeed(3);
  std::string exact = feed + std::string(MoreAppsValidator::maxBytes - feed.size(), ' ');
  serve("/exact", exact);
  // A server that would go on for 256 MiB: it must be cut off early.
  std::atomic<size_t> sent = 0;
  server.server().Get("/endless", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/json", [&](size_t, httplib::DataSink& sink) {
      static const std::string chunk(65536, ' ');
      if (sent >= (256u << 20) || !sink.write(chunk.data(), chunk.size())) return false;
      sent += chunk.size();
      return true;
    });
  });
  server.start();

  EXPECT_TRUE(loader("/exact").fetch());
  nextDay();
  EXPECT_FALSE(loader("/endless").fetch());
  EXPECT_LT(sent.load(), 64u << 20);
  // The first answer is still the cached one.
  EXPECT_EQ(larkvale::test::readAll(temp / "cache/more-apps.json"), exact);
}

}  // namespace
}  // namespace pennant
