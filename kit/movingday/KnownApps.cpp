#include "kit/movingday/KnownApps.h"

#include <string>

namespace larkvale::KnownApps {
namespace {

using Settings = std::vector<std::string>;
constexpr std::nullopt_t none = std::nullopt;

// clang-format off
std::vector<KnownApp> makeTable() {
  return {
    {"com.apple.dt.Xcode", {"~/Library/Developer/Xcode/UserData"},
     "Signing certificates live in the Keychain: in Xcode \u203a Settings \u203a Accounts, sign in "
     "again on the new Mac (or export them as a .p12 file first).",
     "Key bindings, themes and code snippets are in UserData. Simulators and DerivedData are not "
     "worth copying."},
    {"com.apple.Terminal", {"~/Library/Preferences/com.apple.Terminal.plist"}, none,
     "Profiles can also be exported one by one: Terminal \u203a Settings \u203a Profiles \u203a "
     "\u22ef \u203a Export."},
    {"com.googlecode.iterm2",
     {"~/Library/Preferences/com.googlecode.iterm2.plist", "~/Library/Application Support/iTerm2"},
     none,
     "iTerm2 can load its settings from a folder: Settings \u203a General \u203a Settings \u203a "
     "Load from a custom folder."},
    {"com.microsoft.VSCode",
     {"~/Library/Application Support/Code/User", "~/.vscode/extensions"}, none,
     "Settings Sync (sign in with GitHub or Microsoft) carries settings and extensions for you."},
    {"com.sublimetext.4", {"~/Library/Application Support/Sublime Text"},
     "The licence is in Sublime Text's Local folder; keep your purchase email too.", none},
    {"com.runningwithcrayons.Alfred", {"~/Library/Application Support/Alfred"},
     "Powerpack licence: Alfred \u203a Settings \u203a Powerpack shows it; keep your purchase "
     "email.",
     none},
    {"com.raycast.macos", Settings{}, none,
     "Raycast \u203a Settings \u203a Advanced \u203a Export makes a settings file to import on "
     "the new Mac."},
    {"org.mozilla.firefox", {"~/Library/Application Support/Firefox/Profiles"}, none,
     "Signing in to a Mozilla account (Firefox Sync) brings bookmarks, passwords and add-ons."},
    {"com.google.Chrome", {"~/Library/Application Support/Google/Chrome"}, none,
     "Signing in to Chrome with sync on brings bookmarks, passwords and extensions."},
    {"com.brave.Browser", {"~/Library/Application Support/BraveSoftware/Brave-Browser"}, none,
     "Brave Sync (a sync chain code) brings bookmarks and settings."},
    {"com.knollsoft.Rectangle", {"~/Library/Preferences/com.knollsoft.Rectangle.plist"}, none,
     "Rectangle \u203a Settings \u203a Export saves shortcuts to a file."},
    {"org.pqrs.Karabiner-Elements.", {"~/.config/karabiner"}, none, none},
    {"com.jetbrains.", {"~/Library/Application Support/JetBrains"},
     "Sign in to your JetBrains Account on the new Mac.", none},
    {"com.docker.docker", {"~/.docker"}, none,
     "Images and containers are rebuilt or pulled again; don't copy the VM disk."},
    {"com.1password.", Settings{},
     "Sign in with your Secret Key (it's in your Emergency Kit PDF).", none},
    {"com.bitwarden.desktop", Settings{}, "Sign in to your Bitwarden account.", none},
    {"com.tinyspeck.slackmacgap", Settings{}, none,
     "Sign in to each workspace again; nothing to copy."},
    {"us.zoom.xos", Settings{}, none, "Sign in again; nothing to copy."},
    {"com.hnc.Discord", Settings{}, none,
     "Sign in again (a QR code from the phone app is quickest)."},
    {"md.obsidian", {"~/Library/Application Support/obsidian"}, none,
     "Your vaults are ordinary folders you chose; each vault's .obsidian folder holds its "
     "settings."},
    {"com.anthropic.claudefordesktop",
     {"~/Library/Application Support/Claude/claude_desktop_config.json"}, none,
     "Sign in again; the config file holds your MCP servers."},
    {"com.obsproject.obs-studio", {"~/Library/Application Support/obs-studio"}, none,
     "Scenes and profiles can also be exported from the Scene Collection and Profile menus."},
    {"com.bambulab.bambu-studio", {"~/Library/Application Support/BambuStudio"}, none,
     "Your own filament, printer and process presets are in the user folder; signing in to "
     "Bambu Cloud syncs them too."},
    {"org.blenderfoundation.blender", {"~/Library/Application Support/Blender"}, none, none},
    {"org.audacityteam.audacity", {"~/Library/Application Support/audacity"}, none, none},
    {"org.videolan.vlc", {"~/Library/Preferences/org.videolan.vlc"}, none, none},
    {"com.valvesoftware.steam", Settings{}, none,
     "Sign in again and download games again; game files are big and rebuild themselves."},
    {"com.getdropbox.dropbox", Settings{}, none,
     "Sign in again; your files download again from Dropbox."},
    {"com.google.drivefs", Settings{}, none, "Sign in again; your files stream from Google Drive."},
    {"net.whatsapp.WhatsApp", Settings{}, none,
     "Link the new Mac from your phone (Settings \u203a Linked Devices)."},
    {"net.kovidgoyal.calibre", {"~/Library/Preferences/calibre"}, none,
     "Your library is the Calibre Library folder (usually in your home folder); copy it whole, "
     "then point calibre at it."},
    {"com.electron.exodus", {"~/Library/Application Support/Exodus"},
     "A wallet: restore it from your secret recovery phrase. Never copy that phrase into a file "
     "or a checklist.",
     none},
    {"net.sourceforge.sqlitebrowser",
     {"~/Library/Preferences/net.sourceforge.sqlitebrowser.plist"}, none, none},
  };
}
// clang-format on

}  // namespace

const std::vector<KnownApp>& all() {
  static const std::vector<KnownApp> table = makeTable();
  return table;
}

std::optional<KnownApp> entry(std::string_view bundleID) {
  for (const auto& row : all()) {
    if (row.matches(bundleID)) return row;
  }
  return std::nullopt;
}

}  // namespace larkvale::KnownApps
