#pragma once
#include <cstddef>
#include <functional>

namespace larkvale {

// Mixes a value's hash into a running seed.
template <typename T>
void hashCombine(size_t& seed, const T& value) {
  seed ^= std::hash<T>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

}  // namespace larkvale
