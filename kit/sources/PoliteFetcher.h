#pragma once
// The fetcher every web request of the update check goes through. It keeps
// the last good answer of each URL on disk and returns it without asking
// while it is younger than the caller allows, spaces the requests to one
// host at least `spacing` apart, asks with conditional headers, and
// falls back to the saved answer when the network fails or the server is
// overloaded. Bodies over maxBodyBytes are refused.
//
// Thread safety: every member may be called from any thread at once. The
// host turns are kept by one call at a time. The saved answer of one URL is
// read by any number of calls together and written by one call at a time
// with no read meanwhile, so a read always finds a body with the metadata
// that describes it; reads of other URLs don't wait for each other. Writes
// of saved answers go one at a time whatever their URL (see writeMutex_).
// The wait for a host's turn and the network exchange hold no guard, so
// fetches to other hosts (and queued ones to the same host) go on.
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <thread>

#include "kit/sources/HTTPFetching.h"
#include "kit/sources/SavedAnswers.h"
#include "platform/HttpSession.h"

namespace larkvale {

// Where the time comes from, so tests can move it. The wall clock dates the
// saved answers; host turns run on the monotonic clock, which a change of
// the system time cannot move.
struct FetchClock {
  using Monotonic = std::chrono::steady_clock::time_point;
  std::function<Date()> now = [] { return std::chrono::system_clock::now(); };
  std::function<Monotonic()> monotonic = [] { return std::chrono::steady_clock::now(); };
  std::function<void(std::chrono::milliseconds)> sleep = [](std::chrono::milliseconds d) {
    std::this_thread::sleep_for(d);
  };
};

class PoliteFetcher final : public HTTPFetching {
 public:
  static constexpr size_t maxBodyBytes = SavedAnswers::maxBodyBytes;

  struct Options {
    std::chrono::milliseconds spacing{1000};        // between the starts of two requests to a host
    std::chrono::milliseconds idleTimeout{20'000};  // connecting, or waiting for the next byte
    std::chrono::milliseconds timeout{40'000};      // the whole exchange
    FetchClock clock;
  };

  // Takes ownership of the session. Without a folder nothing is saved,
  // loaded or pruned. The folder is created with its parents when missing;
  // a failure to create it is ignored (saving then fails quietly). The app's
  // folder is AppFolders::http.
  PoliteFetcher(std::unique_ptr<HttpSession> session,
                std::optional<std::filesystem::path> cacheFolder, Options options);

  // Throws FetchError: notWeb before anything else happens; tooLarge for a
  // body over the limit (even when a saved answer exists); network when the
  // transport fails and nothing is saved for the URL. Requests queued behind
  // one to the same host that timed out fail at once with its error (see
  // HttpSession).
  FetchResult fetch(const std::string& url, std::chrono::seconds maxAge) override;

  // Removes the saved answers fetched more than age ago, or dated in the
  // future.
  void pruneSaved(std::chrono::seconds age);

 private:
  using Meta = SavedAnswers::Meta;

  static constexpr std::string_view userAgent = "Larkvale/1.0 (Macintosh; app update check)";

  // Waits until the host (lower case) may be asked again and reserves the
  // following turn before waiting, so callers that arrive together line up
  // one spacing apart. Hosts are independent.
  void waitTurn(const std::string& host);

  std::optional<SavedAnswers::Saved> loadSaved(const std::string& url);
  void saveAnswer(const Meta& meta, std::string_view body);

  HttpRequest requestFor(const std::string& url, const std::optional<SavedAnswers::Saved>& saved);
  FetchResult answered(const std::string& url, const HttpResponse& response,
                       std::optional<SavedAnswers::Saved>& saved);

  // Shared to read a URL's saved answer, exclusive to write it; URLs are
  // spread over a fixed set.
  std::shared_mutex& savedLock(const std::string& url);

  std::mutex turnsMutex_;  // guards nextSlot_
  // Taken inside a URL's exclusive guard around every write to the folder.
  // Creating and renaming files locks the folder in the kernel anyway, and
  // there the other writers spin on the CPU while the holder allocates an
  // inode; here they sleep.
  std::mutex writeMutex_;
  std::array<std::shared_mutex, 64> savedLocks_;
  std::unique_ptr<HttpSession> session_;
  std::optional<std::filesystem::path> cacheFolder_;
  Options options_;
  std::map<std::string, FetchClock::Monotonic> nextSlot_;
};

}  // namespace larkvale
