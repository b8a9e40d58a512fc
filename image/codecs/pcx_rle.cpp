#include "image/codecs/pcx_rle.h"

#include <algorithm>
#include <cstring>

namespace skyloom {

std::size_t TPcxRunReader::ReadLine(std::uint8_t* out, std::size_t count) {
  std::size_t done = std::min(pending_, count);
  std::memset(out, pendingValue_, done);
  pending_ -= done;
  while (done < count && at_ < end_) {
    const std::uint8_t b = *at_++;
    if (b < 0xC0) {
      out[done++] = b;
      continue;
    }
    if (at_ == end_) break;  // a run whose value byte is missing
    pendingValue_ = *at_++;
    const std::size_t run = b & 0x3F;
    const std::size_t here = std::min(run, count - done);
    std::memset(out + done, pendingValue_, here);
    done += here;
    pending_ = run - here;
  }
  return done;
}

void EncodePcxPlane(const std::uint8_t* plane, std::size_t count, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < count) {
    const std::uint8_t b = plane[i];
    std::size_t run = 1;
    while (i + run < count && run < 63 && plane[i + run] == b) ++run;
    if (run > 1 || b >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 + run));
    out.push_back(b);
    i += run;
  }
}

}  // namespace skyloom
