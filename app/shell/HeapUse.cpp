#include "app/shell/HeapUse.h"

#include <cstdlib>  // tells whether the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace larkvale::HeapUse {

void limitArenas() {
#if defined(__GLIBC__)
  mallopt(M_ARENA_MAX, 2);
#endif
}

void releaseFreePages() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace larkvale::HeapUse
