#pragma once
// The one failure of Copy Settings and of reading a Moving Day manifest.
// what() is the sentence shown to the user.
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace larkvale {

class CarryError : public Error {
 public:
  enum class Kind { newerManifest, noDestination };

  // A manifest whose schema number is newer than this build understands.
  static CarryError newerManifest(int64_t schema);
  // The Moving Day folder, its manifest or its README could not be made;
  // reason is the system's description of what went wrong.
  static CarryError noDestination(std::string reason);

  Kind kind() const { return kind_; }
  // The schema number of a newerManifest error; 0 for the other case.
  int64_t schema() const { return schema_; }
  // The system's description of a noDestination error; empty otherwise.
  const std::string& reason() const { return reason_; }

  friend bool operator==(const CarryError& a, const CarryError& b) {
    return a.kind_ == b.kind_ && a.schema_ == b.schema_ && a.reason_ == b.reason_;
  }

 private:
  CarryError(Kind kind, int64_t schema, std::string reason, const std::string& text);

  Kind kind_;
  int64_t schema_;
  std::string reason_;
};

}  // namespace larkvale
