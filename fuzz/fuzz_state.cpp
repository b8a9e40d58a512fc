// Fuzz target: the state file reader. Whatever it accepts must be written
// back and read again to the same text, so nothing it accepted is lost.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "state/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  try {
    const TAppState state = ReadStateText(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = WriteStateText(state);
    if (WriteStateText(ReadStateText(text)) != text) std::abort();
  } catch (const EStateFileError&) {
  }
  return 0;
}
