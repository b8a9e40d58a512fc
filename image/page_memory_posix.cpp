#include <sys/mman.h>

#include "image/page_memory.h"

namespace skyloom {

void* AllocatePages(std::size_t bytes) {
  int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
  flags |= MAP_POPULATE;  // fault every page in now, in one call
#endif
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, flags, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

void FreePages(void* block, std::size_t bytes) { munmap(block, bytes); }

}  // namespace skyloom
