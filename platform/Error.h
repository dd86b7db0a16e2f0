#pragma once
// The one base class of every error Larkvale throws. Each error carries the
// text meant for the user (what()).
#include <stdexcept>
#include <stop_token>
#include <string>

namespace larkvale {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file the app writes for itself could not be written.
class FileError : public Error {
 public:
  using Error::Error;
};

// Long work was asked to stop through its stop token. Whatever the call had
// produced so far is dropped: a cancelled call never answers a partial
// result.
class Cancelled : public Error {
 public:
  Cancelled() : Error("Cancelled.") {}

  // Throws Cancelled when a stop has been requested.
  static void check(const std::stop_token& stop) {
    if (stop.stop_requested()) throw Cancelled();
  }
};

}  // namespace larkvale
