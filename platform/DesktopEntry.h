#pragma once
// Desktop entry files (the freedesktop.org format of launchers and autostart
// entries): quoting a program's arguments for the Exec key, and reading one
// key of the "Desktop Entry" group. Pure; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale::DesktopEntry {

// One argument written for an Exec value, ready to be joined to the others
// with a blank: in double quotes when it needs them, with the quoting
// rule's backslashes before " ` $ \, "%" doubled, and then the string
// escapes of the file format applied (so a literal backslash becomes four,
// a dollar sign "\\$", a line break "\n"). The argument must be UTF-8 for
// the file to be valid; that is the caller's check.
std::string execArgument(std::string_view argument);

// The value of `key` in the "Desktop Entry" group of a file's content, with
// the string escapes (\s \n \t \r \\) resolved; the first occurrence counts.
// Keys are matched exactly (a localised "Name[de]" is another key). Nothing
// when the group or the key is missing.
std::optional<std::string> value(std::string_view content, std::string_view key);

}  // namespace larkvale::DesktopEntry
