#include "tools/demo/DemoHome.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace larkvale::demo {
namespace {

namespace fs = std::filesystem;

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void writeFile(const fs::path& path, const std::string& content, bool executable = false) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out)
    throw fs::filesystem_error("can't write", path, std::make_error_code(std::errc::io_error));
  if (executable)
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

struct Sample {
  std::string name;
  std::string id;
  std::string version;
  std::map<std::string, std::string> keys;  // further Info.plist texts
  bool storeReceipt = false;
};

// A bundle whose program does nothing, so that opening it works here.
void writeBundle(const fs::path& applications, const Sample& sample) {
  fs::path contents = applications / (sample.name + ".app") / "Contents";
  std::string program = "run";
  std::string plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
  std::map<std::string, std::string> keys = sample.keys;
  keys["CFBundleIdentifier"] = sample.id;
  keys["CFBundleName"] = sample.name;
  keys["CFBundleShortVersionString"] = sample.version;
  keys["CFBundleVersion"] = sample.version;
  keys["CFBundleExecutable"] = program;
  for (const auto& [key, value] : keys)
    plist += "  <key>" + xmlEscaped(key) + "</key><string>" + xmlEscaped(value) + "</string>\n";
  plist += "</dict></plist>\n";
  writeFile(contents / "Info.plist", plist);
  writeFile(contents / "MacOS" / program, "#!/bin/sh\nexit 0\n", true);
  if (sample.storeReceipt) writeFile(contents / "_MASReceipt" / "receipt", "sample receipt\n");
}

// A small property list of settings, as an app would leave in Preferences.
std::string preferences(const std::map<std::string, std::string>& values) {
  std::string plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
  for (const auto& [key, value] : values)
    plist += "  <key>" + xmlEscaped(key) + "</key><string>" + xmlEscaped(value) + "</string>\n";
  return plist + "</dict></plist>\n";
}

// Settings of several sample apps under Library/, so that the inventory
// lists places to carry, Copy Settings has items to tick (with a cache and
// a licence-looking file it leaves out) and New Mac Check has a folder to
// compare.
void writeDemoSettings(const fs::path& home) {
  const fs::path prefs = home / "Library/Preferences";
  const fs::path support = home / "Library/Application Support";
  writeFile(prefs / "com.example.nimbus-notes.plist",
            preferences({{"Editor theme", "Dusk"}, {"Sync interval", "300"}}));
  writeFile(support / "Nimbus Notes/Notes/Groceries.md", "- oats\n- pears\n- coffee\n");
  writeFile(support / "Nimbus Notes/Notes/Ideas.md", "A tide table for the kitchen wall.\n");
  writeFile(support / "Nimbus Notes/Cache/index.bin", std::string(2048, 'x'));
  writeFile(prefs / "com.example.tidewater.plist", preferences({{"Harbour", "Falmouth"}}));
  writeFile(prefs / "com.example.quillset.plist", preferences({{"Default font", "Serif"}}));
  writeFile(support / "Quillset/Styles.json", R"({"body":"Serif 12","heading":"Sans 18"})");
  writeFile(support / "Quillset/Quillset.licence", "SAMPLE-KEY-0000\n");
  writeFile(prefs / "com.example.LumenPlayer.plist", preferences({{"Volume", "0.8"}}));
  writeFile(support / "Lumen Player/Library.json", R"({"playlists":["Morning","Late"]})");
  writeFile(prefs / "com.example.Gitwise.plist", preferences({{"Diff style", "split"}}));
  writeFile(support / "Scratchpad/Pad.txt", "Call the movers on Tuesday.\n");
}

struct Release {
  std::string version;
  std::string notesHTML;
  bool critical = false;
};

// `download` is the address of each release's file, its version appended.
std::string appcast(const std::string& title, const std::vector<Release>& releases,
                    const std::string& download, const std::string& link = {}) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<rss version=\"2.0\" xmlns:sparkle=\"http://example.com/xml-namespaces/sparkle\">"
      "<channel><title>" +
      xmlEscaped(title) + "</title>\n";
  for (const Release& r : releases) {
    xml += "<item><title>Version " + r.version + "</title><sparkle:version>" + r.version +
           "</sparkle:version><sparkle:shortVersionString>" + r.version +
           "</sparkle:shortVersionString><pubDate>Mon, 30 Nov 2026 09:00:00 +0000</pubDate>"
           "<description><![CDATA[" +
           r.notesHTML + "]]></description>" + (r.critical ? "<sparkle:criticalUpdate/>" : "") +
           (link.empty() ? "" : "<link>" + xmlEscaped(link) + "</link>") + "<enclosure url=\"" +
           xmlEscaped(download + r.version + ".zip") +
           "\" length=\"1\" type=\"application/octet-stream\"/></item>\n";
  }
  return xml + "</channel></rss>\n";
}

std::string page(const std::string& heading, const std::string& text) {
  return "<!doctype html><html><head><meta charset=\"utf-8\"><title>" + heading +
         "</title></head><body style=\"font-family:sans-serif;margin:3em\"><h1>" + heading +
         "</h1><p>" + text + "</p></body></html>\n";
}

const char* kBrewInfo = R"({"formulae":[],"casks":[
{"token":"lumen-player","name":["Lumen Player"],"version":"5.2","installed":"5.0","auto_updates":false,"artifacts":[{"app":["Lumen Player.app"]}]},
{"token":"parcel-box","name":["Parcel Box"],"version":"8.1","installed":"8.0","auto_updates":true,"artifacts":[{"app":["Parcel Box.app"]}]},
{"token":"cinder-terminal","name":["Cinder Terminal"],"version":"2.0","installed":"2.0","auto_updates":false,"artifacts":[{"app":["Cinder Terminal.app"]}]}]}
)";

const char* kBrewOutdated = R"({"formulae":[],"casks":[
{"name":"lumen-player","installed_versions":["5.0"],"current_version":"5.2","pinned":false,"pinned_version":null},
{"name":"parcel-box","installed_versions":["8.0"],"current_version":"8.1","pinned":false,"pinned_version":null}]}
)";

// Answers the two read-only questions; an upgrade only says what it would do.
std::string brewScript() {
  return std::string("#!/bin/sh\n# Stands in for Homebrew in Larkvale's demo home.\n") +
         "case \"$*\" in\n"
         "  \"info --cask --installed --json=v2\") cat <<'JSON'\n" +
         kBrewInfo +
         "JSON\n  ;;\n"
         "  \"outdated --cask --greedy --json=v2\") cat <<'JSON'\n" +
         kBrewOutdated +
         "JSON\n  ;;\n"
         "  upgrade*) echo \"(demo) brew $*\"; echo \"Nothing is installed: this is Larkvale's "
         "sample home.\" ;;\n"
         "  *) echo \"demo brew: unknown command: $*\" >&2; exit 1 ;;\n"
         "esac\n";
}

}  // namespace

fs::path demoBrew(const fs::path& home) {
  return home / "bin" / "brew";
}

DemoAnswers writeDemoHome(const fs::path& home, const std::string& server, int extraFeedApps) {
  fs::path apps = home / "Applications";
  DemoAnswers answers;
  auto feedApp = [&](const std::string& name, const std::string& slug, const std::string& version,
                     const std::vector<Release>& releases) {
    std::string path = "/feeds/" + slug + ".xml";
    writeBundle(apps, {name, "com.example." + slug, version, {{"SUFeedURL", server + path}}});
    if (!releases.empty())
      answers.feeds[path] = appcast(name, releases, server + "/downloads/" + slug + "-");
  };
  feedApp(
      "Nimbus Notes", "nimbus-notes", "3.0",
      {{"3.1", "<p>Notes sync in the background.</p>"},
       {"3.2", "<ul><li>Faster sync</li><li>A dark editor</li><li>Tags in the sidebar</li></ul>"}});
  feedApp("Tidewater", "tidewater", "1.4.0",
          {{"1.4.2", "<p>Fixes a crash when opening shared tide tables.</p>", true}});
  feedApp("Quillset", "quillset", "2.1", {{"2.1", "<p>Ligatures for more fonts.</p>"}});
  feedApp("Orbit Timer", "orbit-timer", "0.9", {{"1.0", "<p>The first full release.</p>"}});
  // Its feed is gone (the server answers 404): the check says so on its row.
  feedApp("Harbor Sync", "harbor-sync", "4.0", {});

  for (const char* name : {"Lumen Player", "Parcel Box", "Cinder Terminal"}) {
    std::string id = std::string("com.example.") + name;
    id.erase(std::remove(id.begin(), id.end(), ' '), id.end());
    std::string version = name == std::string("Lumen Player") ? "5.0"
                          : name == std::string("Parcel Box") ? "8.0"
                                                              : "2.0";
    writeBundle(apps, {name, id, version, {}});
  }
  writeFile(demoBrew(home), brewScript(), true);

  writeBundle(
      apps,
      {"Gitwise", "com.example.Gitwise", "1.7.2", {{"GitHubRepository", "gitwise-app/gitwise"}}});
  std::string tagPage = "/gitwise-app/gitwise/releases/tag/v1.8.0";
  answers.releases["/repos/gitwise-app/gitwise/releases/latest"] =
      R"({"tag_name":"v1.8.0","name":"Gitwise 1.8.0","body":"- Blame view\r\n- Faster diffs\r\n","html_url":")" +
      server + tagPage +
      R"(","published_at":"2026-11-28T10:00:00Z","prerelease":false,"draft":false,"assets":[{"name":"Gitwise-1.8.0-mac.zip","browser_download_url":")" +
      server + R"(/downloads/Gitwise-1.8.0-mac.zip","size":1}]})";
  answers.pages[tagPage] =
      page("Gitwise 1.8.0", "This page stands in for the app's release page in Larkvale's demo.");

  Sample ledgerly{"Ledgerly", "com.example.Ledgerly", "2.4", {}, true};
  writeBundle(apps, ledgerly);
  answers.lookups[ledgerly.id] =
      R"({"resultCount":1,"results":[{"trackId":1234567,"trackName":"Ledgerly","version":"2.5","releaseNotes":"Budgets per month.","currentVersionReleaseDate":"2026-11-30T08:00:00Z","trackViewUrl":")" +
      server + R"(/app/ledgerly","bundleId":"com.example.Ledgerly"}]})";
  answers.pages["/app/ledgerly"] =
      page("Ledgerly", "This page stands in for the app's store page in Larkvale's demo.");

  writeBundle(apps, {"Preview", "com.apple.Preview", "11.0", {}});
  writeBundle(apps, {"Scratchpad", "com.example.Scratchpad", "1.2", {}});
  writeDemoSettings(home);

  for (int i = 1; i <= extraFeedApps; ++i) {
    std::string number = std::to_string(i);
    // Every third one is up to date.
    feedApp("Sample " + number, "sample-" + number, "1.0",
            {{i % 3 == 0 ? "1.0" : "1.1", "<p>Small fixes.</p>"}});
  }

  answers.ownFeed = appcast("Larkvale",
                            {{"0.2.0",
                              "<ul><li>Shows what changed since the last check</li>"
                              "<li>Quieter weekly summary</li></ul>"}},
                            server + "/downloads/larkvale-", server + "/larkvale/");
  answers.pages["/larkvale/"] = page(
      "Larkvale 0.2.0", "This page stands in for the maker's download page in Larkvale's demo.");
  return answers;
}

}  // namespace larkvale::demo
