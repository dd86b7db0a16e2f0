#include "kit/sources/BrewCask.h"

#include "kit/model/Hash.h"

namespace larkvale {

Json toJson(const BrewCask& c) {
  Json obj = {{"token", c.token},
              {"name", c.name},
              {"latest", c.latest},
              {"autoUpdates", c.autoUpdates},
              {"appPaths", c.appPaths}};
  JsonCoding::putOptional(obj, "installed", c.installed);
  JsonCoding::putOptional(obj, "homepage", c.homepage);
  return obj;
}

Json toJson(const BrewOutdated& o) {
  return {
      {"token", o.token}, {"installed", o.installed}, {"current", o.current}, {"pinned", o.pinned}};
}

template <>
BrewCask fromJson<BrewCask>(const JsonIn& in) {
  BrewCask c;
  c.token = in.string("token");
  c.name = in.string("name");
  c.latest = in.string("latest");
  c.installed = in.optionalString("installed");
  c.autoUpdates = in.boolean("autoUpdates");
  c.appPaths = in.strings("appPaths");
  c.homepage = in.optionalUrl("homepage");
  return c;
}

template <>
BrewOutdated fromJson<BrewOutdated>(const JsonIn& in) {
  BrewOutdated o;
  o.token = in.string("token");
  o.installed = in.strings("installed");
  o.current = in.string("current");
  o.pinned = in.boolean("pinned");
  return o;
}

}  // namespace larkvale

size_t std::hash<larkvale::BrewCask>::operator()(const larkvale::BrewCask& c) const noexcept {
  return larkvale::hashValues(c.token, c.name, c.latest, c.installed, c.autoUpdates, c.appPaths,
                              c.homepage);
}

size_t std::hash<larkvale::BrewOutdated>::operator()(
    const larkvale::BrewOutdated& o) const noexcept {
  return larkvale::hashValues(o.token, o.installed, o.current, o.pinned);
}
