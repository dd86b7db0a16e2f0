#include "kit/model/StateStore.h"

#include "platform/Error.h"
#include "platform/FileMove.h"
#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// Plenty for any number of damaged loads within one second.
constexpr int kMaxDamagedNames = 1000;

std::string damagedName(Date now, int attempt) {
  auto seconds = std::chrono::floor<std::chrono::seconds>(now).time_since_epoch().count();
  std::string name = "state-damaged-" + std::to_string(seconds);
  if (attempt > 1) name += "-" + std::to_string(attempt);
  return name + ".json";
}

}  // namespace

std::string StateStore::encode(const AppState& state) {
  return JsonCoding::encode(toJson(state));
}

AppState StateStore::decode(std::string_view bytes) {
  if (auto state = decodeStreaming(bytes)) return std::move(*state);
  return JsonCoding::decode<AppState>(bytes);
}

std::optional<AppState> StateStore::decodeStreaming(std::string_view bytes) {
  std::vector<AppUpdate> updates;
  std::optional<Json> rest = JsonCoding::parseStreaming(
      bytes, {"lastReport", "updates"},
      [&](const JsonStreamIn& e) { updates.push_back(readAppUpdate(e)); });
  if (!rest) return std::nullopt;
  try {
    AppState state = fromJson<AppState>(JsonIn::withoutPlaces(*rest));
    // Updates, where any were met, stood in the one report object read here.
    if (state.lastReport) state.lastReport->updates = std::move(updates);
    return state;
  } catch (const JsonDecodingError&) {
  } catch (const Json::exception&) {
  }
  return std::nullopt;
}

AppState StateStore::load() const {
  return load(std::chrono::system_clock::now());
}

AppState StateStore::load(Date now) const {
  sweepTemporaries();
  std::error_code ec;
  if (fs::symlink_status(file(), ec).type() == fs::file_type::not_found) return AppState{};
  // Anything standing at the name from here on holds (or may hold) the
  // user's data: what can't be read as a state is kept aside, not lost.
  std::optional<std::string> bytes = FileSystem::readFile(file(), kMaxFileBytes);
  if (bytes) {
    try {
      return decode(*bytes);
    } catch (const JsonDecodingError&) {
    } catch (const Json::exception&) {
    }
  }
  moveAside(now);
  return AppState{};
}

void StateStore::moveAside(Date now) const {
  for (int attempt = 1; attempt <= kMaxDamagedNames; ++attempt) {
    if (FileMove::withoutReplacing(file(), folder_ / damagedName(now, attempt)) !=
        FileMove::Result::taken) {
      return;  // moved, or failed for a reason another name won't cure
    }
  }
}

void StateStore::sweepTemporaries() const {
  FileSystem::removeStaleTemporaries(folder_,
                                     [](std::string_view target) { return target == kFileName; });
}

void StateStore::save(const AppState& state) const {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec || !fs::is_directory(folder_)) {
    throw FileError("Couldn't create " + TextTrim::writtenOut(folder_.native()) + ": " +
                    (ec ? ec.message() : "Not a directory"));
  }
  const std::string bytes = encode(state);
  // Loading refuses a larger file and would move it aside as damaged.
  if (bytes.size() > kMaxFileBytes) {
    throw FileError("Couldn't write " + TextTrim::writtenOut(file().native()) +
                    ": the state is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB.");
  }
  FileSystem::writeAtomically(file(), bytes);
}

}  // namespace larkvale
