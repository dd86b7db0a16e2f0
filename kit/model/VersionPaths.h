#pragma once
// The reference reading of version strings, open to the fuzz target that
// holds Version::parts, Version::compare and Version::hasNumber to it: the
// text split into user-perceived characters by ICU's break iterator, then
// into parts. Slow; nothing else calls it.
#include <string_view>
#include <vector>

#include "kit/model/Version.h"

namespace larkvale::Version::paths {

std::vector<Part> partsByClusters(std::string_view s);

// The order of the two lists of parts built whole.
int compareByParts(std::string_view a, std::string_view b);

}  // namespace larkvale::Version::paths
