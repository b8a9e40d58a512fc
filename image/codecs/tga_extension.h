#pragma once
// The TGA 2.0 additions: the 26-byte footer that ends the file and the
// 495-byte extension area it points to (author, date, job name, key
// colour, pixel aspect ratio and gamma).
#include <cstddef>
#include <cstdint>

namespace skyloom {

class TStream;
class TIOParamsVals;

inline constexpr std::size_t kTgaFooterSize = 26;
inline constexpr std::size_t kTgaExtensionSize = 495;

enum class TTgaExtensionRead { kNone, kRead, kOutsideFile };

// Fills the TGA params from the extension area of the file that starts at
// `start` and holds `size` bytes, when its footer carries the signature and
// names an area. The fields the area leaves empty keep their values.
TTgaExtensionRead ReadTgaExtension(TStream& stream, std::int64_t start, std::int64_t size, TIOParamsVals& params);

// Writes the extension area at the stream's position (dated now), then the
// footer pointing to it; `start` is where the file began.
void WriteTgaExtension(TStream& stream, std::int64_t start, const TIOParamsVals& params);

}  // namespace skyloom
