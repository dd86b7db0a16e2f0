#pragma once
// One HEAD request that tells whether the app's own update feed is worth
// asking: the feed is there, it is gone (nothing to offer), or the server
// could not be reached. Any thread; blocks for at most the time-out.
#include <chrono>
#include <string>

#include "platform/HttpSession.h"

namespace larkvale {

enum class FeedProbeOutcome {
  proceed,   // read the feed
  upToDate,  // the feed says there is nothing to offer
  failed,    // asking the feed failed
};

// 200–299, 405 and 501 → proceed; 404 and 410 → upToDate; any other status,
// and no answer at all, → failed.
FeedProbeOutcome feedProbeOutcome(int httpStatus);

// Sends HEAD to `url` and maps the answer; never throws. Redirects are
// followed; the whole exchange must end within `timeout`.
FeedProbeOutcome probeFeed(HttpSession& session, const std::string& url,
                           std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace larkvale
