#pragma once
// The platform's side of a picture block: where its memory comes from and
// how it is held in place while used.
#include <cstddef>
#include <cstdint>

namespace skyloom::dib_memory {

void* Allocate(std::size_t size);  // zero-filled; null when out of memory
void Free(void* handle) noexcept;
std::uint8_t* Lock(void* handle);  // null when it cannot be locked
void Unlock(void* handle) noexcept;

}  // namespace skyloom::dib_memory
