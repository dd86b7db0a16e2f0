#include "kit/sources/Homebrew.h"

#include "kit/model/Version.h"
#include "kit/sources/AppcastText.h"

namespace larkvale::Homebrew {
namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw BrewAnswerError(where.empty() ? what : where + ": " + what);
}

json parseRoot(std::string_view data) {
  json root;
  try {
    root = json::parse(data);
  } catch (const json::exception& e) {
    fail("", std::string("not JSON (") + e.what() + ")");
  }
  if (!root.is_object()) fail("", "expected an object");
  return root;
}

// A member that is present and not null; nullptr otherwise (an optional key).
const json* member(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() || it->is_null() ? nullptr : &*it;
}

std::optional<std::string> optString(const json& object, const char* key,
                                     const std::string& where) {
  const json* v = member(object, key);
  if (!v) return std::nullopt;
  if (!v->is_string()) fail(where + "." + key, "expected a string");
  return v->get<std::string>();
}

std::optional<bool> optBool(const json& object, const char* key, const std::string& where) {
  const json* v = member(object, key);
  if (!v) return std::nullopt;
  if (!v->is_boolean()) fail(where + "." + key, "expected a Boolean");
  return v->get<bool>();
}

std::optional<std::vector<std::string>> optStrings(const json& object, const char* key,
                                                   const std::string& where) {
  const json* v = member(object, key);
  if (!v) return std::nullopt;
  if (!v->is_array()) fail(where + "." + key, "expected an array");
  std::vector<std::string> out;
  for (size_t i = 0; i < v->size(); ++i) {
    if (!(*v)[i].is_string())
      fail(where + "." + key + "[" + std::to_string(i) + "]", "expected a string");
    out.push_back((*v)[i].get<std::string>());
  }
  return out;
}

// The list under "casks" of a root object; empty when absent.
const json* caskList(const json& root) {
  const json* casks = member(root, "casks");
  if (casks && !casks->is_array()) fail("casks", "expected an array");
  return casks;
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

BrewCask makeCask(const json& cask, const std::string& where, std::string_view home) {
  if (!cask.is_object()) fail(where, "expected an object");
  auto token = cask.find("token");
  if (token == cask.end() || !token->is_string()) fail(where + ".token", "expected a string");
  BrewCask out;
  out.token = token->get<std::string>();
  const auto names = optStrings(cask, "name", where);
  out.name = names && !names->empty() ? names->front() : out.token;
  out.latest = Version::cleanCaskVersion(optString(cask, "version", where).value_or(""));
  if (auto installed = optString(cask, "installed", where))
    out.installed = Version::cleanCaskVersion(*installed);
  out.autoUpdates = optBool(cask, "auto_updates", where).value_or(false);
  if (const json* artifacts = member(cask, "artifacts")) {
    if (!artifacts->is_array()) fail(where + ".artifacts", "expected an array");
    for (const auto& artifact : *artifacts) collectAppPaths(artifact, out.appPaths);
  }
  for (auto& path : out.appPaths) path = expandTilde(path, home);
  if (auto homepage = optString(cask, "homepage", where)) out.homepage = FeedText::url(*homepage);
  return out;
}

BrewOutdated makeRow(const json& row, const std::string& where) {
  if (!row.is_object()) fail(where, "expected an object");
  auto name = row.find("name");
  if (name == row.end() || !name->is_string()) fail(where + ".name", "expected a string");
  BrewOutdated out;
  out.token = name->get<std::string>();
  out.installed = optStrings(row, "installed_versions", where).value_or(std::vector<std::string>{});
  out.current = Version::cleanCaskVersion(optString(row, "current_version", where).value_or(""));
  out.pinned = optBool(row, "pinned", where).value_or(false);
  return out;
}

std::string_view lastComponent(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<BrewCask> parseInfo(std::string_view data, std::string_view home) {
  const json root = parseRoot(data);
  std::vector<BrewCask> casks;
  if (const json* list = caskList(root)) {
    for (size_t i = 0; i < list->size(); ++i)
      casks.push_back(makeCask((*list)[i], "casks[" + std::to_string(i) + "]", home));
  }
  return casks;
}

std::map<std::string, BrewOutdated> parseOutdated(std::string_view data) {
  const json root = parseRoot(data);
  std::map<std::string, BrewOutdated> rows;
  if (const json* list = caskList(root)) {
    for (size_t i = 0; i < list->size(); ++i) {
      BrewOutdated row = makeRow((*list)[i], "casks[" + std::to_string(i) + "]");
      rows.insert_or_assign(row.token, std::move(row));
    }
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
