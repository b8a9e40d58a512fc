#include "image/codecs/tga_packets.h"

#include <algorithm>
#include <cstring>

namespace skyloom {
namespace {

constexpr std::size_t kMaxPacket = 128;

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b, std::size_t pixelBytes) {
  return std::memcmp(a, b, pixelBytes) == 0;
}

}  // namespace

std::size_t TTgaPixelReader::ReadRaw(std::uint8_t* out, std::size_t count) {
  const std::size_t whole = std::min(count, static_cast<std::size_t>(end_ - at_) / pixelBytes_);
  if (whole > 0) std::memcpy(out, at_, whole * pixelBytes_);
  at_ += whole * pixelBytes_;
  return whole;
}

bool TTgaPixelReader::StartPacket() {
  if (at_ == end_) return false;
  const std::uint8_t header = *at_++;
  left_ = (header & 0x7Fu) + 1u;
  repeat_ = (header & 0x80u) != 0;
  if (!repeat_) return true;
  if (static_cast<std::size_t>(end_ - at_) < pixelBytes_) {  // the run's pixel is cut off
    left_ = 0;
    at_ = end_;
    return false;
  }
  std::memcpy(value_, at_, pixelBytes_);
  at_ += pixelBytes_;
  return true;
}

std::size_t TTgaPixelReader::Read(std::uint8_t* out, std::size_t count) {
  if (!runLength_) return ReadRaw(out, count);
  std::size_t done = 0;
  while (done < count) {
    if (left_ == 0 && !StartPacket()) break;
    const std::size_t n = std::min(left_, count - done);
    std::uint8_t* dst = out + done * pixelBytes_;
    if (repeat_) {
      if (pixelBytes_ == 1) {
        std::memset(dst, value_[0], n);
      } else {
        for (std::size_t i = 0; i < n; ++i, dst += pixelBytes_) std::memcpy(dst, value_, pixelBytes_);
      }
      left_ -= n;
      done += n;
      continue;
    }
    const std::size_t got = ReadRaw(dst, n);
    left_ -= got;
    done += got;
    if (got < n) break;  // the literal pixels end with the data
  }
  return done;
}

void EncodeTgaPackets(const std::uint8_t* pixels, std::size_t count, std::size_t pixelBytes,
                      std::vector<std::uint8_t>& out) {
  auto at = [&](std::size_t i) { return pixels + i * pixelBytes; };
  std::size_t i = 0;
  while (i < count) {
    std::size_t run = 1;
    while (i + run < count && run < kMaxPacket && SamePixel(at(i + run), at(i), pixelBytes)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), at(i), at(i) + pixelBytes);
      i += run;
      continue;
    }
    // Literal pixels up to the start of the next run of two.
    std::size_t end = i + 1;
    while (end < count && end - i < kMaxPacket && !(end + 1 < count && SamePixel(at(end), at(end + 1), pixelBytes)))
      ++end;
    out.push_back(static_cast<std::uint8_t>(end - i - 1));
    out.insert(out.end(), at(i), at(end));
    i = end;
  }
}

}  // namespace skyloom
