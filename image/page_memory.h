#pragma once
// Large scratch blocks straight from the system's page allocator, committed
// in one go where the platform can (one pass instead of a fault per page).
#include <cstddef>

namespace skyloom {

void* AllocatePages(std::size_t bytes);  // null when the system refuses
void FreePages(void* block, std::size_t bytes);

}  // namespace skyloom
