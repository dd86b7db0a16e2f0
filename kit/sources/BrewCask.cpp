#include "kit/sources/BrewCask.h"

#include "kit/model/Hash.h"

size_t std::hash<larkvale::BrewCask>::operator()(const larkvale::BrewCask& c) const noexcept {
  return larkvale::hashValues(c.token, c.name, c.latest, c.installed, c.autoUpdates, c.appPaths,
                              c.homepage);
}

size_t std::hash<larkvale::BrewOutdated>::operator()(
    const larkvale::BrewOutdated& o) const noexcept {
  return larkvale::hashValues(o.token, o.installed, o.current, o.pinned);
}
