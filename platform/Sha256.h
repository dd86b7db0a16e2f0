#pragma once
// SHA-256 digests through OpenSSL's libcrypto. Pure, callable from any thread.
#include <string>
#include <string_view>

namespace larkvale::Sha256 {

// The digest of the bytes as 64 lower-case hexadecimal digits.
std::string hex(std::string_view bytes);

}  // namespace larkvale::Sha256
