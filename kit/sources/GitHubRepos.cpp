#include "kit/sources/GitHubRepos.h"

#include <map>

#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale::GitHubReleases {
namespace {

bool isAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isOwner(std::string_view owner) {
  if (owner.empty() || owner.size() > 39 || owner.front() == '-') return false;
  for (char c : owner)
    if (!isAsciiAlnum(c) && c != '-') return false;
  return true;
}

bool isRepository(std::string_view name) {
  if (name.empty() || name.size() > 100 || name == "." || name == "..") return false;
  for (char c : name)
    if (!isAsciiAlnum(c) && c != '-' && c != '_' && c != '.') return false;
  return true;
}

// owner/repo from an address that names its scheme.
std::optional<std::string> repoFromAddress(std::string_view text) {
  auto url = WebURL::parse(text);
  if (!url || !url->hasAuthority || url->host.empty()) return std::nullopt;
  const std::string host = Strings::asciiLowercased(url->host);
  if (host != kWebHost && host != "www." + std::string(kWebHost)) return std::nullopt;
  std::vector<std::string_view> pieces;
  std::string_view path = url->path;
  for (size_t start = 0; start < path.size();) {
    size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    if (slash > start) pieces.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  if (pieces.size() < 2) return std::nullopt;
  std::string_view name = pieces[1];
  if (name.ends_with(".git")) name.remove_suffix(4);
  std::string repo = std::string(pieces[0]) + "/" + std::string(name);
  if (!isRepoName(repo)) return std::nullopt;
  return repo;
}

// The text split into lines at every line break, empty lines dropped.
std::vector<std::string_view> nonEmptyLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  auto cut = [&](size_t end, size_t breakLength) {
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + breakLength;
  };
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    size_t len = 0;
    if (c >= 0x0A && c <= 0x0D) {
      len = 1;
    } else if (c == 0xC2 && i + 1 < text.size() && text[i + 1] == '\x85') {
      len = 2;
    } else if (c == 0xE2 && text.substr(i, 2) == "\xE2\x80" && i + 2 < text.size() &&
               (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
      len = 3;
    }
    if (len > 0) {
      cut(i, len);
      i += len;
    } else {
      ++i;
    }
  }
  cut(text.size(), 0);
  return lines;
}

// Splits "key: value" at the first colon that follows some text.
std::optional<std::pair<std::string_view, std::string_view>> keyAndValue(std::string_view line) {
  size_t begin = line.find_first_not_of(':');
  if (begin == std::string_view::npos) return std::nullopt;
  size_t colon = line.find(':', begin);
  if (colon == std::string_view::npos || colon + 1 == line.size()) return std::nullopt;
  return std::pair{line.substr(begin, colon - begin), line.substr(colon + 1)};
}

}  // namespace

bool isRepoName(std::string_view text) {
  size_t slash = text.find('/');
  if (slash == std::string_view::npos || text.find('/', slash + 1) != std::string_view::npos)
    return false;
  return isOwner(text.substr(0, slash)) && isRepository(text.substr(slash + 1));
}

std::optional<std::string> releasesPage(std::string_view repo) {
  if (!isRepoName(repo)) return std::nullopt;
  return Links::releasesPage(repo);
}

std::optional<std::string> repoFromURL(std::string_view text) {
  std::string address(TextTrim::whitespace(text));
  const std::string sshPrefix = "git@" + std::string(kWebHost) + ":";
  if (address.starts_with(sshPrefix))
    address = "https://" + std::string(kWebHost) + "/" + address.substr(sshPrefix.size());
  if (Strings::asciiLowercased(address).starts_with(std::string(kWebHost) + "/"))
    address = "https://" + address;
  if (address.find("://") != std::string::npos) return repoFromAddress(address);
  if (isRepoName(address)) return address;
  return std::nullopt;
}

std::optional<std::string> repoFromInfo(const PlistDict& info) {
  // The dictionary keeps its keys in byte order already.
  for (const auto& [key, value] : info) {
    const std::string lower = Strings::asciiLowercased(key);
    if (lower.find("github") == std::string::npos && lower.find("repo") == std::string::npos)
      continue;  // "repository" contains "repo"
    const std::string* text = value.string();
    if (!text) continue;
    if (auto repo = repoFromURL(*text)) return repo;
  }
  return std::nullopt;
}

std::optional<std::string> repoFromUpdateConfig(std::string_view text) {
  std::map<std::string, std::string, std::less<>> values;
  for (std::string_view line : nonEmptyLines(text)) {
    auto pair = keyAndValue(line);
    if (!pair) continue;
    std::string key = Strings::asciiLowercased(TextTrim::spaces(pair->first));
    std::string_view value = TextTrim::chars(TextTrim::spaces(pair->second), "\"'");
    values.insert_or_assign(std::move(key), std::string(value));
  }
  auto provider = values.find("provider");
  auto owner = values.find("owner");
  auto repo = values.find("repo");
  if (provider == values.end() || Strings::asciiLowercased(provider->second) != "github")
    return std::nullopt;
  if (owner == values.end() || repo == values.end()) return std::nullopt;
  std::string name = owner->second + "/" + repo->second;
  if (!isRepoName(name)) return std::nullopt;
  return name;
}

const std::vector<std::pair<std::string, std::string>>& knownRepos() {
  static const std::vector<std::pair<std::string, std::string>> table{
      {"org.keepassxc.keepassxc", "keepassxreboot/keepassxc"},
      {"org.alacritty", "alacritty/alacritty"},
      {"com.utmapp.UTM", "utmapp/UTM"},
      {"com.prusa3d.slic3r", "prusa3d/PrusaSlicer"},
      {"com.bambulab.bambu-studio", "bambulab/BambuStudio"},
      {"org.freecad.FreeCAD", "FreeCAD/FreeCAD"},
      {"net.sourceforge.sqlitebrowser", "sqlitebrowser/sqlitebrowser"},
      {"org.audacityteam.audacity", "audacity/audacity"},
      {"com.logseq.logseq", "logseq/logseq"},
      {"md.obsidian", "obsidianmd/obsidian-releases"},
      {"com.neovide.neovide", "neovide/neovide"},
      {"com.github.GitHubClient", "desktop/desktop"},
      // Apps published from their authors' own accounts.
      {"com.knollsoft.Rectangle", "rxhanson/Rectangle"},
      {"eu.exelban.Stats", "exelban/stats"},
      {"com.jordanbaird.Ice", "jordanbaird/Ice"},
  };
  return table;
}

std::optional<std::string> knownRepo(std::string_view bundleID) {
  for (const auto& [id, repo] : knownRepos()) {
    if (Strings::equalsIgnoringAsciiCase(id, bundleID)) return repo;
  }
  return std::nullopt;
}

}  // namespace larkvale::GitHubReleases
