#include "image/codecs/png_glue.h"

#include <algorithm>
#include <cstring>

#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kReadAhead = 64 * 1024;

TPngLink& LinkOf(png_structp png) { return *static_cast<TPngLink*>(png_get_error_ptr(png)); }

void OnError(png_structp png, png_const_charp) {
  TPngLink& link = LinkOf(png);
  link.failed = true;
  std::longjmp(link.jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Refills the read-ahead; answers the bytes now available.
std::size_t Refill(TPngLink& link) {
  link.bufferPos = 0;
  link.bufferEnd = 0;
  try {
    link.bufferEnd = link.stream->Read(link.buffer.data(), link.buffer.size());
  } catch (...) {
    link.pending = std::current_exception();
  }
  return link.bufferEnd;
}

void ReadData(png_structp png, png_bytep data, std::size_t length) {
  TPngLink& link = LinkOf(png);
  while (length > 0) {
    if (link.bufferPos == link.bufferEnd && Refill(link) == 0) break;
    const std::size_t n = std::min(length, link.bufferEnd - link.bufferPos);
    std::memcpy(data, link.buffer.data() + link.bufferPos, n);
    link.bufferPos += n;
    data += n;
    length -= n;
  }
  // Outside any handler: the jump must not leave a catch block.
  if (length > 0) png_error(png, "unexpected end of data");
}

void WriteData(png_structp png, png_bytep data, std::size_t length) {
  TPngLink& link = LinkOf(png);
  try {
    link.stream->WriteBuffer(data, length);
  } catch (...) {
    link.pending = std::current_exception();
  }
  if (link.pending) png_error(png, "write error");
}

void FlushData(png_structp) {}

}  // namespace

TPngSession::TPngSession(TKind kind, TPngLink& link) : kind_(kind) {
  if (kind == TKind::kRead) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &link, OnError, OnWarning);
    if (!png_) return;
    link.buffer.resize(kReadAhead);
    png_set_read_fn(png_, &link, ReadData);
  } else {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &link, OnError, OnWarning);
    if (!png_) return;
    png_set_write_fn(png_, &link, WriteData, FlushData);
  }
  info_ = png_create_info_struct(png_);
}

TPngSession::~TPngSession() {
  if (!png_) return;
  png_infopp info = info_ ? &info_ : nullptr;
  if (kind_ == TKind::kRead)
    png_destroy_read_struct(&png_, info, nullptr);
  else
    png_destroy_write_struct(&png_, info);
}

}  // namespace skyloom
