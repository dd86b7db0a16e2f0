// Feeds arbitrary bytes to the state file's decoder. It must never crash, and
// whatever decodes must encode to text that decodes to an equal state and
// encodes to the same text again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kit/model/StateStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  larkvale::AppState state;
  try {
    state = larkvale::StateStore::decode(bytes);
  } catch (const larkvale::JsonDecodingError&) {
    return 0;
  }
  std::string encoded = larkvale::StateStore::encode(state);
  larkvale::AppState again = larkvale::StateStore::decode(encoded);
  if (!(again == state) || larkvale::StateStore::encode(again) != encoded) std::abort();
  return 0;
}
