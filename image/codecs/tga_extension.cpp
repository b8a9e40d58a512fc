#include "image/codecs/tga_extension.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

#include "image/codecs/byte_order.h"
#include "image/io_params.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr char kSignature[] = "TRUEVISION-XFILE.";  // and its zero byte
constexpr std::size_t kSignatureAt = 8;
constexpr std::size_t kAuthorAt = 2, kDateAt = 367, kJobAt = 379, kKeyAt = 470, kAspectAt = 474, kGammaAt = 478;
constexpr std::size_t kTextField = 41;  // 40 characters and a zero byte
constexpr double kRatioDenominator = 10000.0;

std::string Text(const std::uint8_t* field) {
  const auto* end = std::find(field, field + kTextField, 0);
  return std::string(field, end);
}

void PutText(std::uint8_t* field, const std::string& text) {
  std::memcpy(field, text.data(), std::min(text.size(), kTextField - 1));
}

// The years a clock time can hold (nanoseconds from 1970 reach about 292
// years either way), with room for the time of day added.
constexpr int kFirstYear = 1700, kLastYear = 2200;

// Month, day and year must name a real date; the time of day is added.
void ReadDate(const std::uint8_t* p, TIOParamsVals& params) {
  using namespace std::chrono;
  const unsigned month = GetU16(p), day = GetU16(p + 2);
  const int yearNumber = GetU16(p + 4);
  if (month == 0 || day == 0 || yearNumber < kFirstYear || yearNumber > kLastYear) return;
  const year_month_day date{year{yearNumber}, std::chrono::month{month}, std::chrono::day{day}};
  if (!date.ok()) return;
  params.TGA_Date = sys_days{date} + hours{GetU16(p + 6)} + minutes{GetU16(p + 8)} + seconds{GetU16(p + 10)};
}

void PutDate(std::uint8_t* p, std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto days = floor<std::chrono::days>(when);
  const year_month_day date{days};
  const hh_mm_ss time{floor<seconds>(when - days)};
  PutU16(p, static_cast<unsigned>(date.month()));
  PutU16(p + 2, static_cast<unsigned>(date.day()));
  PutU16(p + 4, static_cast<std::uint32_t>(static_cast<int>(date.year())));
  PutU16(p + 6, static_cast<std::uint32_t>(time.hours().count()));
  PutU16(p + 8, static_cast<std::uint32_t>(time.minutes().count()));
  PutU16(p + 10, static_cast<std::uint32_t>(time.seconds().count()));
}

void ReadRatio(const std::uint8_t* p, double& value) {
  const unsigned numerator = GetU16(p), denominator = GetU16(p + 2);
  if (numerator != 0 && denominator != 0) value = static_cast<double>(numerator) / denominator;
}

// (value x 10000, 10000): four decimals, as far as 16 bits reach.
void PutRatio(std::uint8_t* p, double value) {
  const double scaled = std::clamp(std::round(value * kRatioDenominator), 0.0, 65535.0);
  PutU16(p, static_cast<std::uint32_t>(scaled));
  PutU16(p + 2, static_cast<std::uint32_t>(kRatioDenominator));
}

}  // namespace

TTgaExtensionRead ReadTgaExtension(TStream& stream, std::int64_t start, std::int64_t size, TIOParamsVals& params) {
  if (size < static_cast<std::int64_t>(kTgaFooterSize)) return TTgaExtensionRead::kNone;
  std::uint8_t footer[kTgaFooterSize];
  stream.SetPosition(start + size - static_cast<std::int64_t>(kTgaFooterSize));
  if (!ReadFully(stream, footer, sizeof footer)) return TTgaExtensionRead::kNone;
  if (std::memcmp(footer + kSignatureAt, kSignature, sizeof kSignature - 1) != 0) return TTgaExtensionRead::kNone;
  const std::uint32_t offset = GetU32(footer);
  if (offset == 0) return TTgaExtensionRead::kNone;
  const auto areaEnd = static_cast<std::int64_t>(offset) + static_cast<std::int64_t>(kTgaExtensionSize);
  if (areaEnd > size - static_cast<std::int64_t>(kTgaFooterSize)) return TTgaExtensionRead::kOutsideFile;

  std::uint8_t area[kTgaExtensionSize];
  stream.SetPosition(start + offset);
  if (!ReadFully(stream, area, sizeof area)) return TTgaExtensionRead::kOutsideFile;
  params.TGA_Author = Text(area + kAuthorAt);
  ReadDate(area + kDateAt, params);
  params.TGA_JobName = Text(area + kJobAt);
  params.TGA_Background = TIERGB{area[kKeyAt + 3], area[kKeyAt + 2], area[kKeyAt + 1]};
  ReadRatio(area + kAspectAt, params.TGA_AspectRatio);
  ReadRatio(area + kGammaAt, params.TGA_Gamma);
  return TTgaExtensionRead::kRead;
}

void WriteTgaExtension(TStream& stream, std::int64_t start, const TIOParamsVals& params) {
  const std::int64_t offset = stream.Position() - start;
  std::uint8_t area[kTgaExtensionSize] = {};
  PutU16(area, kTgaExtensionSize);
  PutText(area + kAuthorAt, params.TGA_Author);
  PutDate(area + kDateAt, std::chrono::system_clock::now());
  PutText(area + kJobAt, params.TGA_JobName);
  const TIERGB& key = params.TGA_Background;
  area[kKeyAt + 1] = key.r;
  area[kKeyAt + 2] = key.g;
  area[kKeyAt + 3] = key.b;
  PutRatio(area + kAspectAt, params.TGA_AspectRatio);
  PutRatio(area + kGammaAt, params.TGA_Gamma);
  stream.WriteBuffer(area, sizeof area);

  std::uint8_t footer[kTgaFooterSize] = {};
  PutU32(footer, static_cast<std::uint32_t>(offset));
  std::memcpy(footer + kSignatureAt, kSignature, sizeof kSignature);  // with its zero byte
  stream.WriteBuffer(footer, sizeof footer);
}

}  // namespace skyloom
