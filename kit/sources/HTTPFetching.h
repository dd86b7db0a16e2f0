#pragma once
// The one interface through which every web request of the kit passes.
#include <chrono>
#include <string>

#include "kit/sources/FetchError.h"
#include "kit/sources/FetchResult.h"

namespace larkvale {

class HTTPFetching {
 public:
  virtual ~HTTPFetching() = default;
  // Gets the URL; a saved answer younger than maxAge may be returned
  // without asking the network. Blocks until done; safe to call from several
  // threads at once. Throws FetchError.
  virtual FetchResult fetch(const std::string& url, std::chrono::seconds maxAge) = 0;
};

}  // namespace larkvale
