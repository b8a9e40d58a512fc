#pragma once
// COM for the current thread for the scope of one call; a thread that
// already runs another apartment model is used as it is; and the deleter
// that releases an interface held in a unique_ptr.
#include <objbase.h>

#include <memory>

namespace skyloom {

class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

struct ReleaseInterface {
  void operator()(IUnknown* object) const { object->Release(); }
};

}  // namespace skyloom
