#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/HttpSession.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

using test::TestServer;

TEST(CurlHttpSession, SendsHeadThroughRedirectsAndReadsNoBody) {
  TestServer server;
  std::mutex mutex;
  std::vector<std::string> seen;  // "METHOD path" of every request served
  auto record = [&](const httplib::Request& req) {
    std::lock_guard lock(mutex);
    seen.push_back(req.method + " " + req.path);
  };
  server.server().Get("/old", [&](const httplib::Request& req, httplib::Response& res) {
    record(req);
    res.set_redirect("/feed", 302);
  });
  server.server().Get("/feed", [&](const httplib::Request& req, httplib::Response& res) {
    record(req);
    res.set_header("ETag", "\"v2\"");
    res.set_content("<rss/>", "application/rss+xml");
  });
  server.start();
  auto session = makeCurlSession();

  HttpRequest request;
  request.url = server.url("/old");
  request.head = true;
  HttpResponse answer = session->get(request);
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body, "");
  EXPECT_EQ(answer.finalURL, server.url("/feed"));
  ASSERT_NE(answer.header("etag"), nullptr);

  // The same handle serves an ordinary GET afterwards, body and all.
  request.head = false;
  EXPECT_EQ(session->get(request).body, "<rss/>");
  std::lock_guard lock(mutex);
  EXPECT_EQ(seen, (std::vector<std::string>{"HEAD /old", "HEAD /feed", "GET /old", "GET /feed"}));
}

}  // namespace
}  // namespace larkvale
