#pragma once
// What the PNG reader and writer share around the PNG library: structures
// created with the linked library's own version (an older version string
// makes the library refuse to work), an error handler that leaves the
// library through a long jump, warnings ignored, and stream procedures.
//
// The long jump never crosses a C++ frame with live destructors: library
// calls run inside PngGuarded(), whose frame holds none, and everything
// with a destructor lives outside it.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include <png.h>

namespace skyloom {

class TStream;

// The state the library's callbacks reach through their user pointers.
struct TPngLink {
  std::jmp_buf jump{};
  bool failed = false;
  TStream* stream = nullptr;
  // A stream exception met inside a callback; re-raised by the adapter once
  // the library has been left.
  std::exception_ptr pending;
  // Read-ahead of the reader (the library asks for a few bytes at a time).
  std::vector<std::uint8_t> buffer;
  std::size_t bufferPos = 0;
  std::size_t bufferEnd = 0;

  explicit TPngLink(TStream& s) : stream(&s) {}
  void RethrowPending() const {
    if (pending) std::rethrow_exception(pending);
  }
};

// Runs one step of library work; answers false when the library left it
// through its error handler. `step` must not keep objects with destructors
// alive while it calls the library.
template <typename Step>
bool PngGuarded(TPngLink& link, Step&& step) {
  if (setjmp(link.jump) != 0) return false;
  step();
  return true;
}

// Owns a read or write structure and its info structure.
class TPngSession {
 public:
  enum class TKind { kRead, kWrite };
  TPngSession(TKind kind, TPngLink& link);
  ~TPngSession();
  TPngSession(const TPngSession&) = delete;
  TPngSession& operator=(const TPngSession&) = delete;

  // Whether both structures could be created.
  bool Valid() const { return png_ && info_; }
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  TKind kind_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

}  // namespace skyloom
