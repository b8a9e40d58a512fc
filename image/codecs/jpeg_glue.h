#pragma once
// What the JPEG reader and writer share around the JPEG library: an error
// manager that turns library errors into the Aborting flag and leaves the
// library through a long jump, and source/destination managers over the
// engine's streams.
//
// The long jump never crosses a C++ frame with live destructors: each
// library call runs inside JpegGuarded(), whose own frame holds none, and
// everything with a destructor lives outside it.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // the library's header needs FILE and size_t first
#include <exception>
#include <type_traits>
#include <vector>

#include <jpeglib.h>

#include "image/progress.h"

namespace skyloom {

class TStream;

// The content test: the first three bytes are 0xFF 0xD8 0xFF.
bool IsJpegSignature(const std::uint8_t* bytes, std::size_t size);

struct TJpegErrorManager {
  jpeg_error_mgr pub{};  // first member: the library only sees this part
  std::jmp_buf jump{};
  bool* aborting = nullptr;
  // A stream exception met inside a library callback; re-raised by the
  // adapter once the library has been left and released.
  std::exception_ptr pending;

  explicit TJpegErrorManager(const TProgressRec& progress);
  // Stops the current library call as an error (from a callback).
  [[noreturn]] void Fail(j_common_ptr cinfo, int messageCode);
  void RethrowPending() const {
    if (pending) std::rethrow_exception(pending);
  }
};

// Runs one step of library work; answers false when the library left it
// through the error exit (Aborting is then set). `step` must not keep
// objects with destructors alive while it calls the library.
template <typename Step>
bool JpegGuarded(TJpegErrorManager& errors, Step&& step) {
  if (setjmp(errors.jump) != 0) return false;
  step();
  return true;
}

// Feeds the library from a stream, 64 KiB at a time. Running out of data
// is an error: a truncated file ends with Aborting, not a grey fill.
struct TJpegStreamSource {
  jpeg_source_mgr pub{};
  TStream* stream = nullptr;
  TJpegErrorManager* errors = nullptr;
  std::vector<JOCTET> buffer;

  TJpegStreamSource(TStream& s, TJpegErrorManager& e);
  // Reads the first block outside the library; answers whether it starts
  // with the JPEG signature.
  bool Prime();
  void Attach(j_decompress_ptr cinfo);
};

// Writes the library's output to a stream.
struct TJpegStreamDestination {
  jpeg_destination_mgr pub{};
  TStream* stream = nullptr;
  TJpegErrorManager* errors = nullptr;
  std::vector<JOCTET> buffer;

  TJpegStreamDestination(TStream& s, TJpegErrorManager& e);
  void Attach(j_compress_ptr cinfo);
};

// The library hands back pointers to `pub`; the callbacks cast them to the
// enclosing manager, which standard layout makes well defined.
static_assert(std::is_standard_layout_v<TJpegErrorManager>);
static_assert(std::is_standard_layout_v<TJpegStreamSource>);
static_assert(std::is_standard_layout_v<TJpegStreamDestination>);

}  // namespace skyloom
