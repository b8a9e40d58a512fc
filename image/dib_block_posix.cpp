#include <cstdlib>

#include "image/dib_block_memory.h"

namespace skyloom::dib_memory {

void* Allocate(std::size_t size) { return std::calloc(size, 1); }
void Free(void* handle) noexcept { std::free(handle); }
std::uint8_t* Lock(void* handle) { return static_cast<std::uint8_t*>(handle); }
void Unlock(void*) noexcept {}

}  // namespace skyloom::dib_memory
