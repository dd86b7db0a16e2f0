#include "kit/sources/AppcastItem.h"

#include "kit/model/Hash.h"

size_t std::hash<larkvale::AppcastItem>::operator()(
    const larkvale::AppcastItem& item) const noexcept {
  return larkvale::hashValues(item.title, item.version, item.shortVersion, item.pubDate, item.notes,
                              item.notesURL, item.downloadURL, item.minimumSystemVersion,
                              item.channel, item.os, item.critical, item.informational, item.link);
}
