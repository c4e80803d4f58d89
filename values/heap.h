#pragma once
// The one heap behind every buffer that crosses the add-in boundary: the
// texts and binary data the host builds into value records, and the blocks
// add-ins obtain from the host's memory manager. Whichever side built a
// buffer, it is released with `freeHostBlock`, so the two never mix heaps.
// Thread-safe, as the C heap is.

#include <cstddef>

namespace marrowel {

// A block of at least `size` bytes; a request for 0 bytes still yields a
// distinct block. Answers nullptr when memory is exhausted (callers at the
// boundary turn that into a failure value, conversions into std::bad_alloc).
void* allocateHostBlock(std::size_t size);

// Releases a block from `allocateHostBlock`; nullptr is ignored.
void freeHostBlock(void* block);

}  // namespace marrowel
