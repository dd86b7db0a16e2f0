#pragma once
// Keeps the one AppState in "state.json" inside its folder.
//
// Loading never fails: a missing file gives the default state; a file that
// exists but can't be read or decoded is first moved aside, within the same
// folder, to "state-damaged-<seconds since 1970>.json" (or, when that name is
// taken, "state-damaged-<seconds>-2.json" and so on: an earlier damaged copy
// is never replaced), and the default state is returned. So the next save
// never writes over the user's skips, holds and history unseen.
//
// Saving writes the compact, key-sorted JSON atomically (temporary file in
// the folder, fsync, rename): a crash leaves the old or the new file, never a
// torn one. Its failure throws FileError and leaves the old file untouched.
// Both sides share one size limit, so whatever is saved can be loaded: a
// state that would encode to more than kMaxFileBytes is not written.
//
// Loading also removes the temporary files that interrupted saves left in
// the folder (only the save's own, by their names, once a few minutes old).
//
// A plain value holding only its folder (the app's is AppFolders::state); it
// opens nothing between calls.
// Loads and saves of one folder must not run at the same time.
#include <filesystem>
#include <string>
#include <string_view>

#include "kit/model/AppState.h"
#include "platform/Dates.h"

namespace larkvale {

class StateStore {
 public:
  static constexpr std::string_view kFileName = "state.json";
  // The largest state file that is written or read.
  static constexpr size_t kMaxFileBytes = size_t{64} << 20;

  explicit StateStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path file() const { return folder_ / kFileName; }

  // `now` names a damaged copy; the default uses the clock.
  AppState load() const;
  AppState load(Date now) const;

  // Creates the folder with its parents when missing. Throws FileError,
  // also for a state that would encode to more than kMaxFileBytes.
  void save(const AppState& state) const;

  // The bytes a save writes, and their reading (throws JsonDecodingError).
  // Reading takes the report's updates, nearly all of a large state, as the
  // text streams past rather than through a tree (decodeStreaming), and
  // reads through the tree only what that way refuses.
  static std::string encode(const AppState& state);
  static AppState decode(std::string_view bytes);

  // The streaming reading alone: the state decode() gives, or nothing where
  // decode() must read the text through the tree for the result or the
  // exact error.
  static std::optional<AppState> decodeStreaming(std::string_view bytes);

 private:
  void moveAside(Date now) const;
  void sweepTemporaries() const;

  std::filesystem::path folder_;
};

}  // namespace larkvale
