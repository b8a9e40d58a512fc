#include <windows.h>

#include "image/dib_block_memory.h"

namespace skyloom::dib_memory {

void* Allocate(std::size_t size) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, size); }
void Free(void* handle) noexcept { GlobalFree(handle); }
std::uint8_t* Lock(void* handle) { return static_cast<std::uint8_t*>(GlobalLock(handle)); }
void Unlock(void* handle) noexcept { GlobalUnlock(handle); }

}  // namespace skyloom::dib_memory
