#include "image/lzw_hooks.h"

namespace skyloom {

TLzwHooks& GlobalLzwHooks() {
  static TLzwHooks hooks;  // one set per process, as the engine's format layer is
  return hooks;
}

}  // namespace skyloom
