#pragma once
// The one base class of every error Larkvale throws. Each error carries the
// text meant for the user (what()).
#include <stdexcept>
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

}  // namespace larkvale
