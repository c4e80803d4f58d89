#include "values/heap.h"

#include <cstdlib>

namespace marrowel {

void* allocateHostBlock(std::size_t size) { return std::malloc(size != 0 ? size : 1); }

void freeHostBlock(void* block) { std::free(block); }

}  // namespace marrowel
