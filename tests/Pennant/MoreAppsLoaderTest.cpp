#include "Pennant/MoreAppsLoader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Pennant/MoreAppsValidator.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "tests/Pennant/FeedSamples.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace pennant {
namespace {

using larkvale::Date;
using larkvale::HttpError;
using larkvale::HttpRequest;
using larkvale::HttpResponse;
namespace Dates = larkvale::Dates;
namespace fs = std::filesystem;

constexpr const char* kFeedURL = "https://maker.example/mac/more-apps.json";

// A loader on a fresh cache folder with a settable clock and a scripted
// transport that records every request it is given.
class MoreAppsLoaderTest : public ::testing::Test {
 protected:
  larkvale::test::TempDir temp;
  fs::path cache = temp / "Caches/Pennant/MoreApps";
  Date clock = Dates::fromSecondsSince2001(800000000);
  std::optional<std::string> shipped = test::validFeed(2);
  std::vector<HttpRequest> requests;
  std::function<HttpResponse(const HttpRequest&)> answer = [](const HttpRequest&) {
    return ok(test::validFeed(3));
  };

  static HttpResponse ok(std::string body, std::map<std::string, std::string> headers = {}) {
    return HttpResponse{200, std::move(body), std::move(headers), kFeedURL};
  }

  MoreAppsLoader loader() {
    return MoreAppsLoader{
        .feedURL = kFeedURL,
        .cacheDirectory = cache,
        .bundled = [this] { return shipped; },
        .now = [this] { return clock; },
        .transport =
            [this](const HttpRequest& request) {
              requests.push_back(request);
              return answer(request);
            },
    };
  }

  MoreAppsLoader::Meta meta() {
    auto bytes = larkvale::FileSystem::readFile(cache / "more-apps.meta.json");
    if (!bytes) return {};
    return MoreAppsLoader::Meta::fromJson(*bytes).value_or(MoreAppsLoader::Meta{});
  }

  std::string cachedBody() { return larkvale::test::readAll(cache / "more-apps.json"); }

  void later(double seconds) {
    clock += std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::duration<double>(seconds));
  }

  // A loader that asks the loopback server through the real HTTP session.
  MoreAppsLoader overLoopback(const std::string& path) {
    MoreAppsLoader wired = loader();
    wired.feedURL = "https" + server.url(path).substr(4);
    wired.transport = test::loopbackTransport();
    return wired;
  }

  larkvale::test::TestServer server;

  // Whether the request carried no conditional header.
  static bool plain(const HttpRequest& request) {
    return request.headers == decltype(request.headers){{"Accept", "application/json"}};
  }
};

TEST_F(MoreAppsLoaderTest, TheShippedFeedPassesTheRules) {
  auto bytes = MoreAppsLoader::bundledFeed();
  ASSERT_TRUE(bytes);
  auto feed = MoreAppsValidator::decode(*bytes);
  EXPECT_GE(feed.apps.size(), 2u);
  MoreAppsLoader shippedOnly = loader();
  shippedOnly.bundled = MoreAppsLoader::bundledFeed;
  EXPECT_EQ(shippedOnly.loadLocal(), std::pair(std::optional(feed), MoreAppsSource::bundled));
  // A shipped copy that breaks the rules is no catalogue either.
  shipped = "{\"schema\":1,\"apps\":[]}";
  EXPECT_EQ(loader().loadLocal().second, MoreAppsSource::none);
}

TEST_F(MoreAppsLoaderTest, AsksAtMostOnceADay) {
  loader().saveMeta({"\"v1\"", std::nullopt, clock});
  std::string metaBytes = larkvale::test::readAll(cache / "more-apps.meta.json");

  later(86399);
  EXPECT_FALSE(loader().shouldCheck());
  EXPECT_FALSE(loader().fetch());
  EXPECT_TRUE(requests.empty());
  EXPECT_EQ(larkvale::test::readAll(cache / "more-apps.meta.json"), metaBytes);
  EXPECT_FALSE(fs::exists(cache / "more-apps.json"));

  later(1);
  EXPECT_TRUE(loader().shouldCheck());

  // Due as well: a damaged stamp, one an hour ahead (the clock was set back),
  // and one centuries away (without overflow).
  const std::string ahead = std::to_string(Dates::secondsSince2001(clock) + 3600);
  for (const std::string& stamp :
       {std::string(R"({"checkedAt":"yesterday"})"), R"({"checkedAt":)" + ahead + "}",
        std::string(R"({"checkedAt":-1e12})")}) {
    temp.write("Caches/Pennant/MoreApps/more-apps.meta.json", stamp);
    EXPECT_TRUE(loader().shouldCheck()) << stamp;
  }
}

TEST_F(MoreAppsLoaderTest, RefusesRedirectsElsewhereAndOtherStatuses) {
  struct Case {
    int status;
    const char* finalURL;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {200, "https://other.example/mac/more-apps.json", false},
      {200, "http://maker.example/mac/more-apps.json", false},
      {200, "https://MAKER.example:8443/x", true},  // same host: its path and port are its own
      {200, "", true},
      {203, kFeedURL, false},
      {304, kFeedURL, false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(temp.remove(cache));
    answer = [&](const HttpRequest&) {
      return HttpResponse{c.status, test::validFeed(1), {}, c.finalURL};
    };
    EXPECT_EQ(loader().fetch().has_value(), c.accepted) << c.status << " " << c.finalURL;
    EXPECT_EQ(fs::exists(cache / "more-apps.json"), c.accepted) << c.finalURL;
  }
}

TEST_F(MoreAppsLoaderTest, FailuresKeepTheOldCacheAndCountAsTheDaysCheck) {
  ASSERT_TRUE(loader().fetch());
  std::string body = cachedBody();
  later(86400);
  answer = [](const HttpRequest&) { return ok(test::validFeed(61), {{"etag", "\"new\""}}); };
  EXPECT_FALSE(loader().fetch());
  EXPECT_FALSE(meta().etag);

  later(86400);
  answer = [](const HttpRequest&) -> HttpResponse {
    throw HttpError(HttpError::Kind::tooLarge, "too large");
  };
  EXPECT_FALSE(loader().fetch());
  EXPECT_EQ(meta().checkedAt, clock);
  later(60);
  EXPECT_FALSE(loader().fetch());
  EXPECT_EQ(requests.size(), 3u);
  EXPECT_EQ(cachedBody(), body);
}

TEST_F(MoreAppsLoaderTest, KeepsOnlyUsableValidatorHeaders) {
  using Text = std::optional<std::string>;
  const std::tuple<std::map<std::string, std::string>, Text, Text> cases[] = {
      {{{"etag", std::string(201, 'e')}, {"last-modified", "Mon"}}, std::nullopt, "Mon"},
      {{{"etag", "\"a\tb\""}}, std::nullopt, std::nullopt},
      {{{"etag", std::string(200, 'e')}, {"last-modified", "é"}},
       std::string(200, 'e'),
       std::nullopt},
  };
  for (const auto& [headers, etag, lastModified] : cases) {
    later(86400);
    answer = [&served = headers](const HttpRequest&) { return ok(test::validFeed(1), served); };
    ASSERT_TRUE(loader().fetch());
    EXPECT_EQ(meta(), (MoreAppsLoader::Meta{etag, lastModified, clock}));
  }
  EXPECT_TRUE(plain(requests.back()));
}

TEST_F(MoreAppsLoaderTest, GivesTheFeedEvenWhenItCannotBeStored) {
  loader().saveMeta({"\"old\"", "Old", std::nullopt});
  temp.mkdir("Caches/Pennant/MoreApps/more-apps.json");  // a folder where the body goes
  answer = [](const HttpRequest&) { return ok(test::validFeed(2), {{"etag", "\"new\""}}); };
  EXPECT_TRUE(loader().fetch());
  EXPECT_EQ(meta(), (MoreAppsLoader::Meta{"\"old\"", "Old", clock}));
  // A meta that cannot be written as JSON leaves the stored one as it is.
  EXPECT_NO_THROW(loader().saveMeta({"\xff", std::nullopt, std::nullopt}));
  EXPECT_EQ(meta(), (MoreAppsLoader::Meta{"\"old\"", "Old", clock}));

  // A file where the whole cache folder should be: nothing can be written.
  ASSERT_TRUE(temp.remove(temp / "Caches"));
  temp.write("Caches/Pennant", "not a folder");
  EXPECT_TRUE(loader().fetch());
  EXPECT_EQ(requests.size(), 2u);
}

TEST_F(MoreAppsLoaderTest, WithoutACacheFolderNothingIsReadOrWritten) {
  // Run from the test's own folder, so that a stray relative write would show.
  const fs::path before = fs::current_path();
  fs::current_path(temp.path());
  MoreAppsLoader none = loader();
  none.cacheDirectory.clear();
  EXPECT_TRUE(none.fetch());
  EXPECT_TRUE(none.shouldCheck());
  EXPECT_EQ(none.loadLocal().second, MoreAppsSource::bundled);
  fs::current_path(before);
  EXPECT_TRUE(fs::is_empty(temp.path()));
  EXPECT_EQ(requests.size(), 1u);
}

TEST_F(MoreAppsLoaderTest, SendsAcceptAndConditionalHeadersOverHttp) {
  std::map<std::string, std::string> seen;  // the headers the loader names
  int status = 200;
  const std::string body = "  " + test::validFeed(2) + "\n";  // stored byte for byte
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
                          res.set_content(body, "application/json");
                        }
                      });
  server.start();

  ASSERT_TRUE(overLoopback("/mac/more-apps.json").fetch());
  EXPECT_EQ(seen, (std::map<std::string, std::string>{{"Accept", "application/json"}}));

  later(86400);
  status = 304;
  EXPECT_FALSE(overLoopback("/mac/more-apps.json").fetch());
  EXPECT_EQ(seen, (std::map<std::string, std::string>{
                      {"Accept", "application/json"},
                      {"If-None-Match", "\"v1\""},
                      {"If-Modified-Since", "Tue, 01 Dec 2026 10:00:00 GMT"}}));
  EXPECT_EQ(cachedBody(), body);
}

TEST_F(MoreAppsLoaderTest, StopsTheTransferPastTheFeedLimit) {
  std::string feed = test::validFeed(3);
  std::string exact = feed + std::string(MoreAppsValidator::maxBytes - feed.size(), ' ');
  server.server().Get("/exact", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(exact, "application/json");
  });
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

  EXPECT_TRUE(overLoopback("/exact").fetch());
  later(86400);
  EXPECT_FALSE(overLoopback("/endless").fetch());
  EXPECT_LT(sent.load(), 64u << 20);
  EXPECT_EQ(cachedBody(), exact);  // the first answer is still the cached one
}

// The loader asks the session for the feed's own limits: its time limits, and
// a body size far below the session's default, so that a body past it is cut
// off in transfer, never taken in whole and refused only afterwards.
TEST_F(MoreAppsLoaderTest, AsksTheSessionToStopAtTheFeedsLimits) {
  const std::string over(MoreAppsValidator::maxBytes + (1u << 20), ' ');
  ASSERT_LT(over.size(), HttpRequest{}.maxBodyBytes);
  server.server().Get("/over", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(over, "application/json");
  });
  server.start();

  MoreAppsLoader wired = overLoopback("/over");
  std::optional<HttpError::Kind> failure;
  std::optional<size_t> arrived;
  std::optional<HttpRequest> asked;
  wired.transport = [session = wired.transport, &failure, &arrived,
                     &asked](const HttpRequest& request) {
    asked = request;
    try {
      HttpResponse response = session(request);
      arrived = response.body.size();
      return response;
    } catch (const HttpError& e) {
      failure = e.kind();
      throw;
    }
  };
  EXPECT_FALSE(wired.fetch());
  EXPECT_EQ(failure, HttpError::Kind::tooLarge);
  EXPECT_EQ(arrived, std::nullopt);
  EXPECT_FALSE(fs::exists(cache / "more-apps.json"));
  ASSERT_TRUE(asked);
  EXPECT_EQ(asked->timeout, std::chrono::seconds(10));
  EXPECT_EQ(asked->idleTimeout, std::chrono::seconds(5));
}

TEST(MoreAppsMetaTest, WritesSecondsSince2001AndReadsLeniently) {
  MoreAppsLoader::Meta meta{"\"e\"", "Mon", Dates::fromSecondsSince2001(86400.5)};
  EXPECT_EQ(meta.toJson(), R"({"etag":"\"e\"","lastModified":"Mon","checkedAt":86400.5})");
  EXPECT_EQ(MoreAppsLoader::Meta::fromJson(meta.toJson()), meta);
  EXPECT_EQ(MoreAppsLoader::Meta{}.toJson(), "{}");
  EXPECT_EQ(MoreAppsLoader::Meta::fromJson(R"({"etag":null,"checkedAt":0,"other":[1]})"),
            (MoreAppsLoader::Meta{std::nullopt, std::nullopt, Dates::fromSecondsSince2001(0)}));
  for (const char* bad : {"[]", R"({"checkedAt":"0"})", "{\"etag\":\"\xff\"}"}) {
    EXPECT_FALSE(MoreAppsLoader::Meta::fromJson(bad)) << bad;
  }
}

// The app hands its loader AppFolders::catalogue: the folder the catalogue's
// own default names for the same identifier.
TEST(MoreAppsCacheFolderTest, NamedAfterTheHostAppsBundleIdentifier) {
  const auto user = larkvale::UserFolders::underHome("/home/u");
  EXPECT_EQ(MoreAppsLoader::cacheDirectoryIn(user.caches, larkvale::AppFolders::kDefaultBundleID),
            larkvale::AppFolders(user).catalogue);
  for (const char* none : {"", "..", "a/b"})
    EXPECT_EQ(MoreAppsLoader::cacheDirectoryIn(user.caches, none),
              "/home/u/.cache/Pennant/MoreApps");
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The user's caches come from the environment; an identifier with a NUL is
// no folder name (the system would cut the path there); and without a caches
// folder the temporary folder takes its place.
TEST(MoreAppsCacheFolderTest, DefaultsToTheUsersCachesElseTheTemporaryFolder) {
  larkvale::test::TempDir caches, temporary;
  const ScopedEnv xdg("XDG_CACHE_HOME", caches.path().string());
  EXPECT_EQ(MoreAppsLoader::defaultCacheDirectory("com.example.host"),
            caches / "com.example.host/MoreApps");
  EXPECT_EQ(MoreAppsLoader::defaultCacheDirectory(std::string("com.example.host\0evil", 21)),
            caches / "Pennant/MoreApps");

  const ScopedEnv tmpdir("TMPDIR", temporary.path().string());
  EXPECT_EQ(MoreAppsLoader::cacheDirectoryIn({}, "com.example.host"),
            temporary / "com.example.host/MoreApps");
}

}  // namespace
}  // namespace pennant
