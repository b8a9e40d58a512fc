#include "image/codecs/gif_blocks.h"

#include <algorithm>

#include "toolkit/stream.h"

namespace skyloom {
namespace {

// File streams are unbuffered: the chain is read in chunks that grow, so a
// short chain costs one small read and a long one few large ones.
constexpr std::size_t kFirstChunk = 4096;
constexpr std::size_t kLargestChunk = std::size_t{1} << 20;

class TChunkedInput {
 public:
  explicit TChunkedInput(TStream& stream) : stream_(stream), start_(stream.Position()) {}

  // The next byte, or false at the stream's end.
  bool Byte(std::uint8_t& value) {
    if (at_ == chunk_.size() && !Refill()) return false;
    value = chunk_[at_++];
    return true;
  }

  // Up to count bytes; answers how many were available.
  std::size_t Take(std::size_t count, std::vector<std::uint8_t>* data) {
    std::size_t done = 0;
    while (done < count) {
      if (at_ == chunk_.size() && !Refill()) break;
      const std::size_t n = std::min(count - done, chunk_.size() - at_);
      if (data) data->insert(data->end(), chunk_.begin() + static_cast<std::ptrdiff_t>(at_),
                             chunk_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
      at_ += n;
      done += n;
    }
    return done;
  }

  // Puts the stream just after the bytes used.
  void Settle() { stream_.SetPosition(start_ + static_cast<std::int64_t>(used_ + at_)); }

 private:
  bool Refill() {
    used_ += chunk_.size();
    chunk_.resize(next_);
    chunk_.resize(stream_.Read(chunk_.data(), chunk_.size()));
    at_ = 0;
    next_ = std::min(next_ * 2, kLargestChunk);
    return !chunk_.empty();
  }

  TStream& stream_;
  std::int64_t start_;
  std::vector<std::uint8_t> chunk_;
  std::size_t at_ = 0;
  std::size_t used_ = 0;  // bytes of the chunks before the current one
  std::size_t next_ = kFirstChunk;
};

}  // namespace

void ReadSubBlocks(TStream& stream, std::vector<std::uint8_t>* data) {
  TChunkedInput input(stream);
  for (std::uint8_t size = 0; input.Byte(size) && size != 0;)
    if (input.Take(size, data) < size) break;
  input.Settle();
}

}  // namespace skyloom
