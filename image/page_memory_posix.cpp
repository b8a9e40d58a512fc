#include <sys/mman.h>

#include <cstdint>

#include "image/page_memory.h"

namespace skyloom {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

// The block starts on a huge-page boundary and asks for huge pages: a fresh
// 70 MB raster then costs a few dozen page faults instead of some eighteen
// thousand, which on virtual machines cost more than decoding the picture.
void* AllocatePages(std::size_t bytes) {
  const std::size_t length = (bytes + 4095) & ~static_cast<std::size_t>(4095);
  const std::size_t span = length + kHugePage;
  void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto base = reinterpret_cast<std::uintptr_t>(mapped);
  const auto start = (base + kHugePage - 1) & ~(kHugePage - 1);
  const std::size_t head = start - base;
  if (head) munmap(mapped, head);
  const std::size_t tail = span - head - length;
  if (tail) munmap(reinterpret_cast<void*>(start + length), tail);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(start), bytes, MADV_HUGEPAGE);  // a hint; refusal is harmless
#endif
  return reinterpret_cast<void*>(start);
}

void FreePages(void* block, std::size_t bytes) { munmap(block, bytes); }

}  // namespace skyloom
