#pragma once
// Where an app's updates come from. A plain value; any thread may read it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Json.h"

namespace larkvale {

class UpdateSource {
 public:
  // Declaration order is the case number fed to hashing.
  enum class Kind { sparkle, homebrew, github, appStore, apple, unknown };

  UpdateSource() = default;  // unknown

  // The payloads are stored unchanged, well formed or not.
  static UpdateSource sparkle(std::string feedURL) { return {Kind::sparkle, std::move(feedURL)}; }
  static UpdateSource homebrew(std::string caskToken) {
    return {Kind::homebrew, std::move(caskToken)};
  }
  // The repository as "owner/name".
  static UpdateSource github(std::string repository) {
    return {Kind::github, std::move(repository)};
  }
  static UpdateSource appStore() { return {Kind::appStore, {}}; }
  static UpdateSource apple() { return {Kind::apple, {}}; }
  static UpdateSource unknown() { return {Kind::unknown, {}}; }

  Kind kind() const { return kind_; }
  bool hasPayload() const { return kind_ <= Kind::github; }
  // The feed URL, cask token or repository; empty for the other cases.
  const std::string& payload() const { return payload_; }

  // The lowercase machine name ("appstore" for the App Store: not the JSON
  // case name "appStore"), the English label and the symbol name. The same
  // for every payload.
  std::string_view key() const;
  std::string_view label() const;
  std::string_view symbol() const;

  // The same case, and equal payloads: URLs byte for byte, cask tokens and
  // repositories as text (canonically equivalent Unicode is equal).
  friend bool operator==(const UpdateSource& a, const UpdateSource& b);

  size_t hash() const;

 private:
  UpdateSource(Kind kind, std::string payload) : kind_(kind), payload_(std::move(payload)) {}

  Kind kind_ = Kind::unknown;
  std::string payload_;
};

// {"sparkle":{"_0":url}}, {"appStore":{}} and so on. Reading refuses an
// object naming no case or several, a missing or non-string payload and a
// sparkle payload that is no readable URL.
Json toJson(const UpdateSource& source);
template <>
UpdateSource fromJson<UpdateSource>(const JsonIn& in);
// fromJson's reading, for a JsonIn or a JsonStreamIn.
template <typename In>
UpdateSource readUpdateSource(const In& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::UpdateSource> {
  size_t operator()(const larkvale::UpdateSource& s) const noexcept { return s.hash(); }
};
