#include "kit/sources/PoliteFetcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <latch>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/Sha256.h"
#include "tests/support/RawHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

using namespace std::chrono_literals;
using test::TempDir;
using test::TestServer;
using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

constexpr std::chrono::seconds kDay = 24h;

class PoliteFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = dir / "Caches/com.tarn4820.Larkvale/http";
    fetcher = makeFetcher();  // makes the folder
  }

  // Every route records the request's headers before answering.
  void route(const std::string& path, Handler handler) {
    server.server().Get(path, [this, handler](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard lock(mutex);
        seen.push_back(req.headers);
      }
      handler(req, res);
    });
  }

  std::unique_ptr<PoliteFetcher> makeFetcher(bool withFolder = true,
                                             std::chrono::milliseconds timeout = 40s) {
    PoliteFetcher::Options options;
    options.timeout = timeout;
    options.clock.now = [this] { return wallNow; };
    options.clock.monotonic = [this] { return monoNow; };
    options.clock.sleep = [this](std::chrono::milliseconds d) {
      std::lock_guard lock(mutex);
      sleeps.push_back(d);
    };
    return std::make_unique<PoliteFetcher>(
        makeCurlSession(), withFolder ? std::optional(folder) : std::nullopt, options);
  }

  size_t requests() {
    std::lock_guard lock(mutex);
    return seen.size();
  }
  std::string lastHeader(const std::string& name) {
    std::lock_guard lock(mutex);
    auto it = seen.back().find(name);
    return it == seen.back().end() ? "<none>" : it->second;
  }
  void later(std::chrono::seconds by) { wallNow += by; }
  std::optional<SavedAnswers::Saved> savedAnswer(const std::string& url) {
    return SavedAnswers::load(folder, url);
  }
  void saveAnswer(const SavedAnswers::Meta& meta, std::string_view body) {
    SavedAnswers::save(folder, meta, body);
  }
  std::filesystem::path file(const std::string& url, const char* ext) {
    return folder / (SavedAnswers::cacheKey(url) + ext);
  }

  TempDir dir;
  std::filesystem::path folder;
  TestServer server;
  std::mutex mutex;
  std::vector<httplib::Headers> seen;
  Date wallNow = Dates::fromSecondsSince2001(800000000);
  FetchClock::Monotonic monoNow{};
  std::vector<std::chrono::milliseconds> sleeps;
  std::unique_ptr<PoliteFetcher> fetcher;
};

Handler answer(int status, std::string body, std::string etag = "", std::string modified = "") {
  return [=](const httplib::Request&, httplib::Response& res) {
    res.status = status;
    if (!etag.empty()) res.set_header("ETag", etag);
    if (!modified.empty()) res.set_header("Last-Modified", modified);
    res.set_content(body, "application/json");
  };
}

// Answers 304 to a request naming the tag, the body otherwise.
Handler versioned(std::function<std::string()> tag, std::function<std::string()> body) {
  return [=](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("If-None-Match") == tag()) {
      res.status = 304;
      return;
    }
    answer(200, body(), tag())(req, res);
  };
}

ino_t inodeOf(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

FetchError::Kind failureOf(HTTPFetching& fetcher, const std::string& url,
                           std::chrono::seconds maxAge = 0s) {
  try {
    fetcher.fetch(url, maxAge);
  } catch (const FetchError& e) {
    return e.kind();
  }
  ADD_FAILURE() << "no error for " << url;
  return FetchError::Kind::network;
}

TEST_F(PoliteFetcherTest, RefusesAddressesThatAreNotWebBeforeAnythingElse) {
  route("/x", answer(200, "ok"));
  server.start();
  std::string port = std::to_string(server.port());
  EXPECT_EQ(failureOf(*fetcher, "ftp://127.0.0.1:" + port + "/x"), FetchError::Kind::notWeb);
  EXPECT_EQ(requests(), 0u);
  EXPECT_EQ(fetcher->fetch("HTTP://127.0.0.1:" + port + "/x", 0s).status, 200);
  EXPECT_EQ(FetchError::notWeb().text(), "not a web address");
}

TEST_F(PoliteFetcherTest, SavesAnswersAndReusesThemWhileFresh) {
  route("/feed", [&](const httplib::Request& req, httplib::Response& res) {
    versioned([] { return "\"v1\""; }, [] { return "feed v1"; })(req, res);
    if (res.status == 200) res.set_header("Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT");
  });
  server.start();
  std::string url = server.url("/feed");

  EXPECT_EQ(fetcher->fetch(url, 3600s), (FetchResult{200, "feed v1", false}));
  EXPECT_EQ(lastHeader("User-Agent"), "Larkvale/1.0 (Macintosh; app update check)");
  EXPECT_EQ(lastHeader("If-None-Match"), "<none>");

  later(3599s);
  EXPECT_EQ(fetcher->fetch(url, 3600s), (FetchResult{200, "feed v1", true}));
  EXPECT_EQ(requests(), 1u);

  const auto bodyFile = folder / (Sha256::hex(url) + ".body");  // the key is the address's hash
  const auto bodyInode = inodeOf(bodyFile);
  later(1s);  // exactly maxAge old: no longer fresh, asked with the saved validators
  EXPECT_EQ(fetcher->fetch(url, 3600s), (FetchResult{200, "feed v1", true}));
  EXPECT_EQ(inodeOf(bodyFile), bodyInode) << "a 304 rewrote the unchanged body";
  EXPECT_EQ(requests(), 2u);
  EXPECT_EQ(lastHeader("If-None-Match"), "\"v1\"");
  EXPECT_EQ(lastHeader("If-Modified-Since"), "Tue, 01 Dec 2026 10:00:00 GMT");

  // The 304 refreshed the saved date.
  EXPECT_EQ(test::readAll(file(url, ".json")),
            R"({"url":")" + url + R"(","fetched":800003600.0,"status":200,"etag":"\"v1\"",)" +
                R"("lastModified":"Tue, 01 Dec 2026 10:00:00 GMT","bodySize":7})");
  EXPECT_EQ(test::readAll(bodyFile), "feed v1");
}

TEST_F(PoliteFetcherTest, AConfirmationNeverDatesAnAnswerSavedMeanwhile) {
  const std::string url = "https://example.com/feed";
  saveAnswer({url, wallNow - 2h, 200, "\"v1\"", {}}, "v1");
  auto asked = savedAnswer(url);
  ASSERT_TRUE(asked);
  saveAnswer({url, wallNow - 1h, 200, "\"v2\"", {}}, "v2");  // another fetch's answer

  SavedAnswers::refresh(folder, asked->meta, wallNow);
  EXPECT_EQ(savedAnswer(url)->meta, (SavedAnswers::Meta{url, wallNow - 1h, 200, "\"v2\"", {}, 2}));
}

TEST_F(PoliteFetcherTest, TreatsAnAnswerDatedInTheFutureAsStale) {
  route("/feed", answer(200, "new"));
  server.start();
  std::string url = server.url("/feed");
  later(kDay);
  fetcher->fetch(url, 0s);
  later(-2 * kDay);  // the clock was set back
  EXPECT_EQ(fetcher->fetch(url, 3600s).fromCache, false);
  EXPECT_EQ(requests(), 2u);
}

TEST_F(PoliteFetcherTest, WithoutAFolderAlwaysAsks) {
  route("/feed", answer(200, "body", "\"e\""));
  server.start();
  ASSERT_TRUE(dir.remove(folder));
  fetcher = makeFetcher(false);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(fetcher->fetch(server.url("/feed"), 1'000'000s), (FetchResult{200, "body", false}));
  EXPECT_EQ(requests(), 2u);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(PoliteFetcherTest, AnswersOtherThanSuccessAreNeverSaved) {
  int status = 200;
  route("/feed", [&](const httplib::Request& req, httplib::Response& res) {
    answer(status, "status " + std::to_string(status))(req, res);
  });
  route("/busy", answer(503, "try later"));
  server.start();
  std::string url = server.url("/feed");

  EXPECT_EQ(fetcher->fetch(server.url("/busy"), 0s), (FetchResult{503, "try later", false}));
  EXPECT_FALSE(savedAnswer(server.url("/busy")));

  fetcher->fetch(url, 0s);
  for (int failing : {503, 429, 500}) {  // the saved answer stands in for a busy server
    status = failing;
    EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{200, "status 200", true})) << failing;
  }
  status = 403;  // but not for a refusal
  EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{403, "status 403", false}));
  EXPECT_EQ(savedAnswer(url)->body, "status 200");
}

TEST_F(PoliteFetcherTest, RefusesBodiesOverEightMebibytesCountedDecoded) {
  const size_t limit = PoliteFetcher::maxBodyBytes;
  route("/exact", answer(200, std::string(limit, 'x')));
  route("/over", answer(200, std::string(limit + 1, 'x')));
  server.start();

  EXPECT_EQ(fetcher->fetch(server.url("/exact"), 0s).data.size(), limit);
  EXPECT_EQ(savedAnswer(server.url("/exact"))->body.size(), limit);
  EXPECT_EQ(failureOf(*fetcher, server.url("/over")), FetchError::Kind::tooLarge);

  // Not even a saved answer stands in for an oversized one.
  saveAnswer({server.url("/over"), wallNow - 1h, 200, {}, {}}, "old");
  EXPECT_EQ(failureOf(*fetcher, server.url("/over")), FetchError::Kind::tooLarge);
  EXPECT_EQ(savedAnswer(server.url("/over"))->body, "old");
}

TEST_F(PoliteFetcherTest, SavesARedirectedAnswerUnderTheAskedAddress) {
  route("/old", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("ETag", "\"hop\"");
    res.set_redirect("/new", 302);
  });
  route("/new", answer(200, "moved here", "\"final\""));
  server.start();
  EXPECT_EQ(fetcher->fetch(server.url("/old"), 0s), (FetchResult{200, "moved here", false}));
  EXPECT_EQ(savedAnswer(server.url("/old"))->meta.etag, "\"final\"");
  EXPECT_FALSE(savedAnswer(server.url("/new")));
}

TEST_F(PoliteFetcherTest, FallsBackToTheSavedAnswerWhenTheNetworkFails) {
  const std::string closed = "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/feed";
  EXPECT_EQ(failureOf(*fetcher, closed), FetchError::Kind::network);
  saveAnswer({closed, wallNow - 400 * 24h, 203, "\"e\"", {}}, "kept");
  EXPECT_EQ(fetcher->fetch(closed, 60s), (FetchResult{203, "kept", true}));
}

TEST_F(PoliteFetcherTest, ASilentHostAnswersItsQueuedRequestsWithItsTimeOut) {
  test::RawHost silent;  // accepts and reads, never answers
  fetcher = makeFetcher(true, 1s);
  constexpr int kCallers = 5;
  const std::string savedUrl = silent.url("/feed/0");
  saveAnswer({savedUrl, wallNow - 400 * 24h, 200, {}, {}}, "kept");

  std::vector<std::optional<FetchError>> errors(kCallers);
  std::optional<FetchResult> fallback;
  {
    std::latch start(kCallers);
    std::vector<std::jthread> callers;
    for (int i = 0; i < kCallers; ++i)
      callers.emplace_back([&, i] {
        start.arrive_and_wait();
        try {
          auto result = fetcher->fetch(silent.url("/feed/" + std::to_string(i)), 0s);
          if (i == 0) fallback = result;
        } catch (const FetchError& e) {
          errors[static_cast<size_t>(i)] = e;
        }
      });
  }
  EXPECT_EQ(fallback, (FetchResult{200, "kept", true}));
  for (int i = 1; i < kCallers; ++i) {
    ASSERT_TRUE(errors[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(errors[static_cast<size_t>(i)]->kind(), FetchError::Kind::network);
    EXPECT_NE(errors[static_cast<size_t>(i)]->text().find("timed out"), std::string::npos) << i;
  }
  EXPECT_EQ(silent.requests(), 1u) << "each queued request waited out its own time limit";

  // A request made after the time-out asks again.
  EXPECT_EQ(failureOf(*fetcher, silent.url("/feed/1")), FetchError::Kind::network);
  EXPECT_EQ(silent.requests(), 2u);
}

TEST_F(PoliteFetcherTest, SpacesRequestsToOneHostOnTheMonotonicClock) {
  route("/a", answer(200, "a"));
  server.start();
  std::string port = std::to_string(server.port());

  fetcher->fetch("http://LOCALHOST:" + port + "/a", 0s);
  fetcher->fetch("http://localhost:" + port + "/a", 0s);
  fetcher->fetch("http://127.0.0.1:" + port + "/a", 0s);
  EXPECT_EQ(sleeps, (std::vector<std::chrono::milliseconds>{1000ms}));

  // Callers arriving together line up one spacing apart.
  sleeps.clear();
  later(-3600s);  // a wall-clock jump changes nothing
  const std::string byAddress = "http://127.0.0.1:" + port + "/a";
  for (int i = 0; i < 3; ++i) fetcher->fetch(byAddress, 0s);
  EXPECT_EQ(sleeps, (std::vector<std::chrono::milliseconds>{1000ms, 2000ms, 3000ms}));

  sleeps.clear();
  monoNow += 4001ms;
  fetcher->fetch(byAddress, 0s);
  monoNow += 250ms;
  fetcher->fetch(byAddress, 0s);
  EXPECT_EQ(sleeps, (std::vector<std::chrono::milliseconds>{750ms}));
}

TEST_F(PoliteFetcherTest, NeverSendsBackAValidatorThatCouldBreakTheRequest) {
  // A bare CR in a saved header value, sent back verbatim, would start a header line.
  test::RawHost host(
      "HTTP/1.1 200 OK\r\nETag: \"a\rInjected: 1\"\r\n"
      "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n"
      "Content-Length: 4\r\nConnection: close\r\n\r\nbody");
  const std::string url = host.url("/feed");
  EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{200, "body", false}));
  auto saved = savedAnswer(url);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->meta.etag, std::nullopt);
  fetcher->fetch(url, 0s);
  std::string head = host.heads().back();
  EXPECT_EQ(head.find("Injected"), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nIf-Modified-Since: Tue, 01 Dec 2026 10:00:00 GMT\r\n"),
            std::string::npos)
      << head;

  // Values already on disk (written by an older version, or edited) are
  // left out of the request; saving refuses them too.
  const auto metaFile = file(url, ".json");
  for (const std::string& bad : {std::string("\"a\r\nInjected: 1\""), std::string("\"a\0b\"", 5),
                                 std::string("\"a\x7f\"")}) {
    nlohmann::json meta = {
        {"url", url}, {"fetched", 0}, {"status", 200}, {"etag", bad}, {"lastModified", bad}};
    FileSystem::writeAtomically(metaFile, meta.dump());
    fetcher->fetch(url, 0s);
    head = host.heads().back();
    EXPECT_EQ(head.find("If-"), std::string::npos) << head;
    EXPECT_EQ(head.find("Injected"), std::string::npos) << head;

    saveAnswer({url, wallNow, 200, bad, bad}, "body");
    saved = savedAnswer(url);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->meta.etag, std::nullopt);
    EXPECT_EQ(saved->meta.lastModified, std::nullopt);
  }
}

// Metadata naming another address (a collision, or an edited file) or of the
// wrong shape is no saved answer.
TEST_F(PoliteFetcherTest, SavedAnswersKeepToTheUmask) {
  const std::string url = "https://example.com/feed";
  const mode_t before = ::umask(077);
  saveAnswer({url, wallNow, 200, "\"v1\"", {}}, "v1");
  SavedAnswers::refresh(folder, savedAnswer(url)->meta, wallNow + 1h);
  ::umask(before);
  for (const char* ext : {".json", ".body"}) {
    struct stat st {};
    ASSERT_EQ(::stat(file(url, ext).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << ext;
  }
}

TEST_F(PoliteFetcherTest, NamesSavedAnswersByTheExactAddress) {
  const std::string url = "https://example.com/feed.xml", upper = "https://example.com/Feed.xml";
  saveAnswer({url, wallNow, 200, {}, {}}, "body");
  saveAnswer({upper, wallNow, 200, {}, {}}, "upper");
  EXPECT_EQ(savedAnswer(url)->body, "body");
  EXPECT_EQ(savedAnswer(upper)->body, "upper");
  const auto meta = file(url, ".json");
  for (const char* bad :
       {R"({"url":"https://example.com/Feed.xml","fetched":0,"status":200})", "not json"}) {
    FileSystem::writeAtomically(meta, bad);
    EXPECT_FALSE(savedAnswer(url)) << bad;
  }
}

TEST_F(PoliteFetcherTest, NeverLeavesValidatorsBesideABodyThatFailedToSave) {
  int version = 1;
  route("/feed", versioned([&] { return "\"v" + std::to_string(version) + "\""; },
                           [&] { return "body v" + std::to_string(version); }));
  server.start();
  std::string url = server.url("/feed");
  fetcher->fetch(url, 0s);

  // A folder where the body file belongs makes the body write fail.
  auto body = file(url, ".body");
  ASSERT_TRUE(dir.remove(body));
  dir.write((body / "blocker").string().substr(dir.path().string().size() + 1), "");
  version = 2;
  EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{200, "body v2", false}));
  EXPECT_FALSE(std::filesystem::exists(file(url, ".json")));

  ASSERT_TRUE(dir.remove(body));
  EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{200, "body v2", false}));
  EXPECT_EQ(lastHeader("If-None-Match"), "<none>");
}

TEST_F(PoliteFetcherTest, ABodyCutShortIsNoSavedAnswer) {
  route("/feed", versioned([] { return "\"v1\""; }, [] { return "feed v1"; }));
  server.start();
  const std::string url = server.url("/feed");
  const auto body = file(url, ".body"), meta = file(url, ".json");
  fetcher->fetch(url, 0s);

  // What a power cut can leave: the metadata in place, the body short.
  for (const std::string& cut : {std::string("feed"), std::string("feed v1!")}) {
    FileSystem::writeAtomically(body, cut);
    EXPECT_FALSE(savedAnswer(url)) << cut;
    EXPECT_EQ(fetcher->fetch(url, kDay), (FetchResult{200, "feed v1", false})) << cut;
    EXPECT_EQ(lastHeader("If-None-Match"), "<none>") << cut;
  }

  // Metadata from before the size was kept is taken on trust.
  auto json = nlohmann::json::parse(test::readAll(meta));
  json.erase("bodySize");
  FileSystem::writeAtomically(meta, json.dump());
  EXPECT_EQ(fetcher->fetch(url, 0s), (FetchResult{200, "feed v1", true}));
  EXPECT_EQ(lastHeader("If-None-Match"), "\"v1\"");
  json["bodySize"] = -1;
  FileSystem::writeAtomically(meta, json.dump());
  EXPECT_FALSE(savedAnswer(url));
}

TEST_F(PoliteFetcherTest, PrunesByAge) {
  for (int days : {31, 30}) {
    const std::string url = "https://a.example/" + std::to_string(days);
    saveAnswer({url, wallNow - days * 24h, 200, {}, {}}, url);
  }
  // A damaged date centuries back is old, however far it lies; one in the
  // future (the clock was set back) is not kept either.
  saveAnswer({"https://a.example/ancient", Dates::fromSecondsSince2001(-9e10), 200, {}, {}}, "x");
  saveAnswer({"https://a.example/future", wallNow + kDay, 200, {}, {}}, "x");
  const std::string key = SavedAnswers::cacheKey("https://a.example/30");
  const auto hourAgo = std::filesystem::file_time_type::clock::now() - 1h;
  const std::string left[] = {key + ".body.tmp-ab12cd34", key + ".json.tmp-00000000"};
  const std::string strays[] = {"broken.json", key + ".body.tmp-being000",
                                "notes.txt.tmp-ab12cd34"};
  for (const auto& name : {left[0], left[1], strays[0], strays[1], strays[2]})
    FileSystem::writeAtomically(folder / name, "{");
  for (const auto& old : {left[0], left[1], strays[2]})
    std::filesystem::last_write_time(folder / old, hourAgo);

  fetcher->pruneSaved(30 * kDay);
  for (const char* gone : {"31", "ancient", "future"})
    EXPECT_FALSE(savedAnswer(std::string("https://a.example/") + gone)) << gone;
  EXPECT_FALSE(std::filesystem::exists(file("https://a.example/31", ".body")));
  EXPECT_TRUE(savedAnswer("https://a.example/30"));
  for (const auto& kept : strays) EXPECT_TRUE(std::filesystem::exists(folder / kept)) << kept;
  for (const auto& gone : left) EXPECT_FALSE(std::filesystem::exists(folder / gone)) << gone;
}

// Named relatively, the folder would be the working folder's: nothing there
// is pruned, neither old answers nor stale temporaries.
TEST(SavedAnswersTest, AFolderNotNamedAbsolutelyLosesNothing) {
  TempDir dir;
  const Date now = Dates::fromSecondsSince2001(800000000);
  dir.mkdir("http");
  SavedAnswers::save(dir / "http", {"https://a.example/old", now - 400h, 200, {}, {}}, "x");
  const std::string stale = SavedAnswers::cacheKey("https://a.example/old") + ".body.tmp-ab12cd34";
  FileSystem::writeAtomically(dir / "http" / stale, "{");
  std::filesystem::last_write_time(dir / "http" / stale,
                                   std::filesystem::file_time_type::clock::now() - 1h);
  const auto names = [&] {
    auto list = FileSystem::listNames(dir / "http").value();
    std::sort(list.begin(), list.end());
    return list;
  };
  const auto before = names();
  ASSERT_EQ(before.size(), 3u);

  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const char* folder : {"http", "./http", ""}) SavedAnswers::prune(folder, 24h, now);
  std::filesystem::current_path(cwd);
  EXPECT_EQ(names(), before);

  SavedAnswers::prune(dir / "http", 24h, now);
  EXPECT_EQ(names(), std::vector<std::string>{});
}

}  // namespace
}  // namespace larkvale
