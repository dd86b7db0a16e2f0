#include "kit/sources/Homebrew.h"

#include "kit/model/Version.h"
#include "kit/sources/AppcastText.h"
#include "platform/Json.h"
#include "platform/TextTrim.h"

namespace larkvale::Homebrew {
namespace {

using nlohmann::json;

// The answer's fault in the reader's own words: "casks[2].version: expected
// a string", or "not JSON (…)" with the parser's account.
[[noreturn]] void fail(const JsonDecodingError& e) {
  // The parser quotes what it last read, and a place names the answer's keys.
  if (!e.underlying().empty())
    throw BrewAnswerError("not JSON (" + TextTrim::oneLine(e.underlying()) + ")");
  const std::string what = "expected " + e.expected();
  const std::string where = TextTrim::oneLine(e.place());
  throw BrewAnswerError(where.empty() ? what : where + ": " + what);
}

// Reads the list under "casks" of a root object, each row by `read`; no
// rows when the list is absent.
template <typename Read>
auto readCasks(std::string_view data, Read read) {
  try {
    const Json root = JsonCoding::parse(data);
    const auto list = JsonIn(root).find("casks");
    return list ? list->array(read) : decltype(list->array(read)){};
  } catch (const JsonDecodingError& e) {
    fail(e);
  }
}

std::string expandTilde(const std::string& path, std::string_view home) {
  if (path == "~") return std::string(home);
  if (path.starts_with("~/")) return std::string(home) + path.substr(1);
  return path;
}

bool endsWithApp(const std::string& s) {
  return s.ends_with(".app");
}

// The bundles one artifact installs. Artifacts are read leniently: a part of
// the wrong type counts as absent.
void collectAppPaths(const json& artifact, std::vector<std::string>& paths) {
  if (!artifact.is_object()) return;
  auto app = artifact.find("app");
  if (app == artifact.end() || !app->is_array()) return;
  auto target = artifact.find("target");
  if (target != artifact.end() && target->is_string() && endsWithApp(target->get<std::string>())) {
    paths.push_back(target->get<std::string>());
    return;
  }
  for (const auto& entry : *app) {
    auto t = entry.is_object() ? entry.find("target") : entry.end();
    if (entry.is_object() && t != entry.end() && t->is_string()) {
      paths.push_back(t->get<std::string>());
      return;
    }
  }
  for (const auto& entry : *app)
    if (entry.is_string() && endsWithApp(entry.get<std::string>()))
      paths.push_back(entry.get<std::string>());
}

std::string caskVersion(std::string_view text) {
  return Version::cleanCaskVersion(TextTrim::oneLine(text));
}

BrewCask makeCask(const JsonIn& cask, std::string_view home) {
  BrewCask out;
  out.token = cask.string("token");
  const auto names = cask.optionalStrings("name");
  out.name = TextTrim::oneLine(names && !names->empty() ? names->front() : out.token);
  out.latest = caskVersion(cask.optionalString("version").value_or(""));
  if (auto installed = cask.optionalString("installed")) out.installed = caskVersion(*installed);
  out.autoUpdates = cask.optionalBoolean("auto_updates").value_or(false);
  if (auto artifacts = cask.find("artifacts")) {
    artifacts->requireArray();
    for (const auto& artifact : artifacts->raw()) collectAppPaths(artifact, out.appPaths);
  }
  for (auto& path : out.appPaths) path = expandTilde(path, home);
  if (auto homepage = cask.optionalString("homepage")) out.homepage = FeedText::url(*homepage);
  return out;
}

BrewOutdated makeRow(const JsonIn& row) {
  BrewOutdated out;
  out.token = row.string("name");
  out.installed = row.optionalStrings("installed_versions").value_or(std::vector<std::string>{});
  for (auto& version : out.installed) version = TextTrim::oneLine(version);
  out.current = caskVersion(row.optionalString("current_version").value_or(""));
  out.pinned = row.optionalBoolean("pinned").value_or(false);
  return out;
}

std::string_view lastComponent(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<BrewCask> parseInfo(std::string_view data, std::string_view home) {
  std::vector<BrewCask> casks =
      readCasks(data, [home](const JsonIn& cask) { return makeCask(cask, home); });
  // A token no command may carry names no cask Larkvale can act on; its app
  // is judged by its other sources instead.
  std::erase_if(casks, [](const BrewCask& cask) { return !isCaskToken(cask.token); });
  return casks;
}

std::map<std::string, BrewOutdated> parseOutdated(std::string_view data) {
  std::map<std::string, BrewOutdated> rows;
  for (BrewOutdated& row : readCasks(data, makeRow)) {
    if (!isCaskToken(row.token)) continue;
    std::string token = row.token;
    rows.insert_or_assign(std::move(token), std::move(row));
  }
  return rows;
}

std::optional<BrewCask> caskForApp(const InstalledApp& app, const std::vector<BrewCask>& casks) {
  std::string_view path = app.path;
  while (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
  const std::string_view bundleName = lastComponent(path);
  const std::string_view folder = path.substr(0, path.size() - bundleName.size());
  const bool inApplications = folder == "/Applications/" || folder.ends_with("/Applications/");
  for (const auto& cask : casks) {
    for (const auto& candidate : cask.appPaths) {
      const bool match = candidate.starts_with('/')
                             ? candidate == app.path
                             : inApplications && lastComponent(candidate) == bundleName;
      if (match) return cask;
    }
  }
  return std::nullopt;
}

bool isCaskToken(std::string_view token) {
  // Tokens end up inside a Terminal command line, so only a small, shell-inert
  // alphabet passes; a leading hyphen would read as an option to brew.
  if (token.empty() || token.size() > 99 || token.front() == '-') return false;
  for (char c : token) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '-' && c != '_' && c != '.' && c != '@' && c != '+' && c != '/')
      return false;
  }
  return true;
}

}  // namespace larkvale::Homebrew
