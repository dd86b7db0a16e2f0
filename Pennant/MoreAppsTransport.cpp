// The default transport lives apart from the loader so that a program which
// always hands the loader its own transport does not pull in the real session.
#include <memory>

#include "Pennant/MoreAppsLoader.h"

namespace pennant {

MoreAppsLoader::Transport MoreAppsLoader::defaultTransport() {
  return [](const larkvale::HttpRequest& request) {
    // One ephemeral, cookie-less session for the catalogue, made on first use.
    static const std::unique_ptr<larkvale::HttpSession> session = larkvale::makeCurlSession();
    return session->get(request);
  };
}

}  // namespace pennant
