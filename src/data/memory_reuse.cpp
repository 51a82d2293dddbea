#include "data/memory_reuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace barvane {

void ReuseFreedMemory() {
#if defined(__GLIBC__)
  // Buffers up to 32 MB (the most glibc allows here) come from the heap, which keeps up to
  // 128 MB freed at its top: pages are touched once, not once a buffer. The two go together: a
  // fixed threshold alone leaves the heap trimmed after every free, which is slower still.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace barvane
