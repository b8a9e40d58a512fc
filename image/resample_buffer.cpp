#include "image/resample_buffer.h"

#include <new>

#include "image/page_memory.h"

namespace skyloom {
namespace {

// Below this the ordinary heap is as quick.
constexpr std::size_t kMapThreshold = std::size_t{1} << 20;

}  // namespace

TResampleBuffer::TResampleBuffer(std::size_t bytes) {
  if (bytes >= kMapThreshold) {
    void* block = AllocatePages(bytes);
    if (!block) throw std::bad_alloc();
    mapped_ = std::unique_ptr<std::uint8_t, TResampleUnmap>(static_cast<std::uint8_t*>(block), TResampleUnmap{bytes});
    return;
  }
  heap_ = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
}

void TResampleUnmap::operator()(std::uint8_t* p) const { FreePages(p, bytes); }

}  // namespace skyloom
