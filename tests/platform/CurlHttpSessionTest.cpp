#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/HttpSession.h"
#include "tests/support/Gzip.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

using test::TestServer;

HttpRequest at(std::string url) {
  HttpRequest request;
  request.url = std::move(url);
  return request;
}

HttpError::Kind failureOf(HttpSession& session, const HttpRequest& request) {
  try {
    session.get(request);
  } catch (const HttpError& e) {
    return e.kind();
  }
  ADD_FAILURE() << "no error for " << request.url;
  return HttpError::Kind::network;
}

TEST(CurlHttpSession, SendsTheCallersHeadersButNoCookiesAndReadsTheAnswer) {
  TestServer server;
  httplib::Headers seen;
  server.server().Get("/feed", [&](const httplib::Request& req, httplib::Response& res) {
    seen = req.headers;
    res.set_header("ETag", "\"v1\"");
    res.set_header("Set-Cookie", "session=1");
    res.set_content("hello", "text/plain");
  });
  server.start();
  auto session = makeCurlSession();
  HttpRequest request = at(server.url("/feed"));
  request.headers = {{"User-Agent", "Tester/1"}, {"Accept-Language", "en"}};
  session->get(request);
  HttpResponse second = session->get(request);

  EXPECT_EQ(second.body, "hello");
  EXPECT_EQ(*second.header("etag"), "\"v1\"");
  EXPECT_EQ(seen.find("User-Agent")->second, "Tester/1");
  EXPECT_EQ(seen.find("Accept-Language")->second, "en");
  EXPECT_EQ(seen.count("Cookie"), 0u) << "a cookie was sent back";
  EXPECT_NE(seen.find("Accept-Encoding")->second.find("gzip"), std::string::npos);
}

// A HEAD goes through the redirects as a HEAD and reads no body; the same
// handle then serves an ordinary GET, body and all.
TEST(CurlHttpSession, FollowsRedirectsAndKeepsTheFinalHeaders) {
  TestServer server;
  std::mutex mutex;
  std::vector<std::string> seen;  // "METHOD path" of every request served
  auto record = [&](const httplib::Request& req) {
    std::lock_guard lock(mutex);
    seen.push_back(req.method + " " + req.path);
  };
  server.server().Get("/old", [&](const httplib::Request& req, httplib::Response& res) {
    record(req);
    res.set_header("ETag", "\"old\"");
    res.set_redirect("/new", 301);
  });
  server.server().Get("/new", [&](const httplib::Request& req, httplib::Response& res) {
    record(req);
    res.set_header("Last-Modified", "Wed, 02 Dec 2026 10:00:00 GMT");
    res.set_content("moved", "text/plain");
  });
  server.server().Get("/away", [](auto&, auto& res) { res.set_redirect("file:///etc/passwd"); });
  server.start();
  auto session = makeCurlSession();

  HttpRequest head = at(server.url("/old"));
  head.head = true;
  for (const HttpRequest& request : {head, at(server.url("/old"))}) {
    HttpResponse answer = session->get(request);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, request.head ? "" : "moved");
    EXPECT_EQ(answer.finalURL, server.url("/new"));
    EXPECT_EQ(answer.header("etag"), nullptr);
    EXPECT_EQ(*answer.header("last-modified"), "Wed, 02 Dec 2026 10:00:00 GMT");
  }
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen, (std::vector<std::string>{"HEAD /old", "HEAD /new", "GET /old", "GET /new"}));
  }
  EXPECT_EQ(failureOf(*session, at(server.url("/away"))), HttpError::Kind::network);
}

TEST(CurlHttpSession, LimitsTheDecodedBody) {
  constexpr size_t kLimit = 8388608;
  TestServer server;
  auto serve = [&](const char* path, std::string body, bool gzip) {
    server.server().Get(path, [body = std::move(body), gzip](auto&, auto& res) {
      if (gzip) res.set_header("Content-Encoding", "gzip");
      res.set_content(body, "application/octet-stream");
    });
  };
  serve("/small", std::string(11, 'a'), false);
  serve("/gzip-exact", test::gzipRun('a', kLimit), true);
  serve("/gzip-over", test::gzipRun('a', kLimit + 1), true);
  server.start();
  auto session = makeCurlSession();

  EXPECT_EQ(session->get(at(server.url("/gzip-exact"))).body, std::string(kLimit, 'a'));
  EXPECT_EQ(failureOf(*session, at(server.url("/gzip-over"))), HttpError::Kind::tooLarge);
  HttpRequest small = at(server.url("/small"));
  small.maxBodyBytes = 10;
  EXPECT_EQ(failureOf(*session, small), HttpError::Kind::tooLarge);
}

TEST(CurlHttpSession, OpensOneConnectionPerHostAtATime) {
  TestServer server;
  std::atomic<int> inFlight = 0, most = 0, served = 0;
  server.server().Get("/busy", [&](auto&, auto& res) {
    int now = ++inFlight;
    for (int m = most; now > m && !most.compare_exchange_weak(m, now);) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    --inFlight;
    ++served;
    res.set_content("ok", "text/plain");
  });
  server.start();
  auto session = makeCurlSession();
  {
    std::vector<std::jthread> callers;
    for (int i = 0; i < 4; ++i)
      callers.emplace_back([&] { EXPECT_EQ(session->get(at(server.url("/busy"))).status, 200); });
  }
  EXPECT_EQ(served, 4);
  EXPECT_EQ(most, 1);
}

// A request queued behind a slow exchange that ends well spends its time
// limit in the queue too: it is not handed a fresh one when its turn comes.
TEST(CurlHttpSession, CountsTheWaitForTheHostAgainstTheTimeLimit) {
  using namespace std::chrono_literals;
  TestServer server;
  std::atomic<bool> firstArrived = false, firstDone = false;
  server.server().Get("/first", [&](auto&, auto& res) {
    firstArrived = true;
    std::this_thread::sleep_for(1s);
    res.set_content("ok", "text/plain");
  });
  server.server().Get("/second", [&](auto&, auto& res) {
    std::this_thread::sleep_for(1s);
    res.set_content("ok", "text/plain");
  });
  server.start();
  auto session = makeCurlSession();
  auto queued = [&](std::chrono::milliseconds limit) {
    HttpRequest request = at(server.url("/second"));
    request.timeout = limit;
    return request;
  };
  std::atomic<bool> shortGaveUpFirst = false;
  {
    std::jthread first([&] {
      EXPECT_EQ(session->get(at(server.url("/first"))).status, 200);
      firstDone = true;
    });
    while (!firstArrived) std::this_thread::sleep_for(5ms);
    // Long enough for its own exchange, not for that and the wait before it.
    std::jthread enough(
        [&] { EXPECT_EQ(failureOf(*session, queued(1500ms)), HttpError::Kind::network); });
    std::jthread tooShort([&] {
      EXPECT_EQ(failureOf(*session, queued(300ms)), HttpError::Kind::network);
      shortGaveUpFirst = !firstDone;
    });
  }
  EXPECT_TRUE(shortGaveUpFirst) << "a request ran out of time only once the host was free";
}

TEST(CurlHttpSession, ParsesUrlsAndRefusesAddressesThatAreNotWeb) {
  auto session = makeCurlSession();
  for (const char* url : {"ftp://example.com/x", "file:///etc/hostname", "http:///x"})
    EXPECT_EQ(failureOf(*session, at(url)), HttpError::Kind::badURL) << url;
  EXPECT_EQ(parseUrl("HTTPS://Api.Example.com:8443/a/B?q=1"),
            (UrlParts{"https", "api.example.com", "8443", "/a/B"}));
  auto hostless = parseUrl("http://@/x");
  EXPECT_TRUE(!hostless || hostless->host.empty());
}

}  // namespace
}  // namespace larkvale
