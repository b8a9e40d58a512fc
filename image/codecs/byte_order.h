#pragma once
// Little-endian fields in byte buffers, and bounded stream reads.
#include <cstddef>
#include <cstdint>

#include "toolkit/stream.h"

namespace skyloom {

inline std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t GetI32(const std::uint8_t* p) { return static_cast<std::int32_t>(GetU32(p)); }

inline void PutU16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

// Reads as many of count bytes as the stream holds; answers how many came.
inline std::size_t ReadAvailable(TStream& stream, void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const auto got = stream.Read(out + done, count - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

// The same; answers whether all came.
inline bool ReadFully(TStream& stream, void* buffer, std::size_t count) {
  return ReadAvailable(stream, buffer, count) == count;
}

// Bytes left between the stream's position and its end (0 if beyond).
inline std::int64_t BytesLeft(TStream& stream) {
  const auto here = stream.Position();
  const auto size = stream.Size();
  return size > here ? size - here : 0;
}

// Restores a stream's position when the scope ends, whatever happens.
class TPositionGuard {
 public:
  explicit TPositionGuard(TStream& stream) : stream_(stream), position_(stream.Position()) {}
  ~TPositionGuard() {
    try {
      stream_.SetPosition(position_);
    } catch (...) {  // a failing seek must not escape a destructor
    }
  }
  TPositionGuard(const TPositionGuard&) = delete;
  TPositionGuard& operator=(const TPositionGuard&) = delete;
  std::int64_t Start() const { return position_; }

 private:
  TStream& stream_;
  std::int64_t position_;
};

}  // namespace skyloom
