#pragma once
// What a check found for one app. A plain value; any thread may read it.
#include <functional>
#include <string>

#include "platform/Json.h"

namespace larkvale {

class UpdateStatus {
 public:
  // Declaration order is the case number fed to hashing.
  enum class Kind { updateAvailable, upToDate, notChecked, noSource };

  UpdateStatus() = default;  // noSource

  static UpdateStatus updateAvailable() { return {Kind::updateAvailable, {}}; }
  static UpdateStatus upToDate() { return {Kind::upToDate, {}}; }
  // The reason is an English sentence shown to the user unchanged.
  static UpdateStatus notChecked(std::string reason) {
    return {Kind::notChecked, std::move(reason)};
  }
  static UpdateStatus noSource() { return {Kind::noSource, {}}; }

  Kind kind() const { return kind_; }
  // The reason of notChecked; empty for the other cases.
  const std::string& reason() const { return reason_; }

  friend bool operator==(const UpdateStatus&, const UpdateStatus&) = default;

  size_t hash() const;

 private:
  UpdateStatus(Kind kind, std::string reason) : kind_(kind), reason_(std::move(reason)) {}

  Kind kind_ = Kind::noSource;
  std::string reason_;
};

// {"updateAvailable":{}}, {"notChecked":{"_0":reason}} and so on. Reading
// refuses an object naming no case or several and a notChecked without a
// string reason.
Json toJson(const UpdateStatus& status);
template <>
UpdateStatus fromJson<UpdateStatus>(const JsonIn& in);
// fromJson's reading, for a JsonIn or a JsonStreamIn.
template <typename In>
UpdateStatus readUpdateStatus(const In& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::UpdateStatus> {
  size_t operator()(const larkvale::UpdateStatus& s) const noexcept { return s.hash(); }
};
