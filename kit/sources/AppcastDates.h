#pragma once
// Reads feed dates by the six patterns feeds are written in, in English and
// GMT. One reader holds its formatters, so a parse of a whole feed builds
// them once; a reader is not shared between threads.
#include <memory>
#include <optional>
#include <string_view>

#include "platform/Dates.h"

namespace larkvale {

class FeedDateReader {
 public:
  FeedDateReader();
  ~FeedDateReader();
  FeedDateReader(const FeedDateReader&) = delete;
  FeedDateReader& operator=(const FeedDateReader&) = delete;

  // The first pattern that reads the whole trimmed text gives the date.
  std::optional<Date> read(std::string_view text);

 private:
  struct Formats;
  std::unique_ptr<Formats> formats_;  // made on first use
};

}  // namespace larkvale
