#pragma once
// The answer of one fetch, returned by copy.
#include <string>

namespace larkvale {

struct FetchResult {
  int status = 0;  // HTTP status; 0 for an answer that is not HTTP
  std::string data;
  bool fromCache = false;  // a saved answer: fresh, confirmed by 304, or a fallback

  friend bool operator==(const FetchResult&, const FetchResult&) = default;
};

}  // namespace larkvale
