#pragma once
// The one way outside text (names, versions, identifiers, tokens, hosts,
// release notes, paths, the OS's error texts) reaches the screen, a notice,
// a notification, the clipboard's "Copied: …" line or an export: through
// TextTrim's rule, in the form that fits the text. What is stored, looked up
// or handed to the system (a path to open, a path copied so that it names
// the file) stays as it was read; only what a person reads goes through
// here. The results are plain text: labels that show them are plain, and
// tooltips still go through ui::plainTip. Pure; any thread.
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace larkvale::shown {

// One line: hidden characters dropped, line breaks and tabs made spaces.
QString line(std::string_view text);
QString line(const QString& text);

// Several lines: as line, but line feeds kept.
QString lines(std::string_view text);
QString lines(const QString& text);

// A path: every hidden character, stray byte and backslash written out, so
// that it shows on one line and never like another path. A QString path is
// first turned back into the bytes that name the file.
QString path(std::string_view bytes);
QString path(const std::string& bytes);
QString path(const std::filesystem::path& path);
QString path(const QString& path);

}  // namespace larkvale::shown
