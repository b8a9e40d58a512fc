#include <windows.h>

#include "image/page_memory.h"

namespace skyloom {

void* AllocatePages(std::size_t bytes) { return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void FreePages(void* block, std::size_t) { VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace skyloom
