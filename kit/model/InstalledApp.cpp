#include "kit/model/InstalledApp.h"

size_t std::hash<larkvale::InstalledApp>::operator()(
    const larkvale::InstalledApp& a) const noexcept {
  size_t seed = 0;
  using larkvale::hashCombine;
  hashCombine(seed, a.path);
  hashCombine(seed, a.name);
  hashCombine(seed, a.bundleID);
  hashCombine(seed, a.version);
  hashCombine(seed, a.build);
  hashCombine(seed, a.feedURL);
  hashCombine(seed, a.hasAppStoreReceipt);
  hashCombine(seed, a.isWrappedIOSApp);
  hashCombine(seed, a.selfUpdater);
  hashCombine(seed, a.sandboxed);
  hashCombine(seed, a.storeID);
  hashCombine(seed, a.githubRepo);
  return seed;
}
