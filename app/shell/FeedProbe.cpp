#include "app/shell/FeedProbe.h"

namespace larkvale {

FeedProbeOutcome feedProbeOutcome(int httpStatus) {
  if (httpStatus >= 200 && httpStatus <= 299) return FeedProbeOutcome::proceed;
  if (httpStatus == 404 || httpStatus == 410) return FeedProbeOutcome::upToDate;
  // A server that won't answer HEAD may still serve the feed itself.
  if (httpStatus == 405 || httpStatus == 501) return FeedProbeOutcome::proceed;
  return FeedProbeOutcome::failed;
}

FeedProbeOutcome probeFeed(HttpSession& session, const std::string& url,
                           std::chrono::milliseconds timeout) {
  HttpRequest request;
  request.url = url;
  request.head = true;
  request.timeout = timeout;
  request.idleTimeout = timeout;
  try {
    return feedProbeOutcome(session.get(request).status);
  } catch (const std::exception&) {
    return FeedProbeOutcome::failed;
  }
}

}  // namespace larkvale
