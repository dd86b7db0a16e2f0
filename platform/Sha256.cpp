#include "platform/Sha256.h"

#include <openssl/evp.h>

#include "platform/Error.h"

namespace larkvale::Sha256 {

std::string hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  // EVP_Digest fails only when the library can't allocate its context; the
  // callers have no sensible name for the data without the digest.
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
    throw Error("SHA-256 is unavailable");
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    text.push_back(kDigits[digest[i] >> 4]);
    text.push_back(kDigits[digest[i] & 0x0F]);
  }
  return text;
}

}  // namespace larkvale::Sha256
