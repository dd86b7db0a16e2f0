#pragma once
// The computer's names as this system keeps them: the pretty name that the
// user gave it (PRETTY_HOSTNAME in /etc/machine-info, an environment-style
// file whose values follow the shell's quoting) and the network host name.
// Pure apart from systemHostName; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale::HostName {

inline constexpr const char* kMachineInfo = "/etc/machine-info";

// The value of PRETTY_HOSTNAME in the content of a machine-info file, its
// quotes and backslashes taken away by the shell's rules. The last
// assignment counts, as when the shell reads the file. Nothing when the key
// is missing, its value is empty or damaged (an unclosed quote), or the
// value is not UTF-8.
std::optional<std::string> prettyName(std::string_view machineInfo);

// One shell word as it would be assigned to a variable: 'single quotes'
// literal, "double quotes" with \ before $ ` " \ and newline, a backslash
// elsewhere taking the next character as it is, unquoted white space at the
// end dropped. Nothing for an unclosed quote.
std::optional<std::string> unquoteShellValue(std::string_view value);

// The kernel's host name (gethostname); nothing when it is empty or can't
// be read.
std::optional<std::string> systemHostName();

}  // namespace larkvale::HostName
