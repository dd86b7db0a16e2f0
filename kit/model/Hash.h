#pragma once
// Hashing of records field by field: every record's std::hash is
// hashValues() over its fields in declaration order.
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace larkvale {

// The hash of one field. Beyond what std::hash covers, dates hash by their
// tick count, lists by their elements and length, and an empty optional
// differs from every held value.
template <typename T>
size_t hashOf(const T& value);
template <typename Clock, typename Duration>
size_t hashOf(const std::chrono::time_point<Clock, Duration>& value);
template <typename T>
size_t hashOf(const std::vector<T>& values);
template <typename T>
size_t hashOf(const std::optional<T>& value);

// Mixes a value's hash into a running seed.
template <typename T>
void hashCombine(size_t& seed, const T& value) {
  seed ^= hashOf(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

// The hashes of the values mixed in order.
template <typename... T>
size_t hashValues(const T&... values) {
  size_t seed = 0;
  (hashCombine(seed, values), ...);
  return seed;
}

template <typename T>
size_t hashOf(const T& value) {
  return std::hash<T>{}(value);
}

template <typename Clock, typename Duration>
size_t hashOf(const std::chrono::time_point<Clock, Duration>& value) {
  return hashOf(value.time_since_epoch().count());
}

template <typename T>
size_t hashOf(const std::vector<T>& values) {
  size_t seed = values.size();
  for (const T& value : values) hashCombine(seed, value);
  return seed;
}

template <typename T>
size_t hashOf(const std::optional<T>& value) {
  return value ? hashValues(true, *value) : 0;
}

}  // namespace larkvale
