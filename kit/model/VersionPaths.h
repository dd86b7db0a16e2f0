#pragma once
// The two ways Version::compare reads strings, open to the fuzz target that
// holds them to one order. Internal to the version order: everything else
// calls Version::compare.
#include <string_view>

namespace larkvale::Version::paths {

// The order by the list of parts, for any strings.
int compareByParts(std::string_view a, std::string_view b);

// The same order for two ASCII strings, read in place without building the
// lists. Only for strings of ASCII characters.
int compareAscii(std::string_view a, std::string_view b);

}  // namespace larkvale::Version::paths
