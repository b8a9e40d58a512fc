#include "avi_file.h"

#include <cstdint>
#include <vector>

namespace skyloom::testing {
namespace {

void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}
void Put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value));
  out.push_back(static_cast<char>(value >> 8));
}
std::string Chunk(const char* id, const std::string& body) {
  std::string out(id, 4);
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out += body;
  if (body.size() % 2) out.push_back('\0');
  return out;
}
std::string List(const char* type, const std::string& body) { return Chunk("LIST", std::string(type, 4) + body); }

}  // namespace

std::string MakeAvi(int width, int height, int frames, int framesPerSecond) {
  const std::uint32_t frameBytes = 4u * static_cast<std::uint32_t>(width * height);

  std::string avih;
  for (std::uint32_t v : {1000000u / framesPerSecond, frameBytes * framesPerSecond, 0u, 0x10u /* has index */,
                          static_cast<std::uint32_t>(frames), 0u, 1u, frameBytes, static_cast<std::uint32_t>(width),
                          static_cast<std::uint32_t>(height), 0u, 0u, 0u, 0u})
    Put32(avih, v);

  std::string strh = "vidsDIB ";
  // flags, priority and language, initial frames, scale, rate, start, length, buffer, quality, sample size
  for (std::uint32_t v : {0u, 0u, 0u, 1u, static_cast<std::uint32_t>(framesPerSecond), 0u,
                          static_cast<std::uint32_t>(frames), frameBytes, 0xFFFFFFFFu, 0u})
    Put32(strh, v);
  // Then the frame rectangle.
  for (int v : {0, 0, width, height}) Put16(strh, static_cast<std::uint16_t>(v));

  std::string strf;
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) Put32(strf, v);
  Put16(strf, 1);
  Put16(strf, 32);
  for (std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) Put32(strf, v);

  std::string movi, index;
  std::uint32_t offset = 4;  // from the 'movi' type
  for (int f = 0; f < frames; ++f) {
    std::string pixels(frameBytes, '\0');
    for (std::uint32_t i = 0; i < frameBytes; i += 4) {
      pixels[i] = static_cast<char>(40 * f);
      pixels[i + 1] = static_cast<char>(255 - 20 * f);
      pixels[i + 2] = static_cast<char>(100);
      const auto x = static_cast<int>(i / 4) % width;
      if (x / 8 == f % (width / 8)) pixels.replace(i, 3, 3, '\xFF');  // the moving bar
    }
    movi += Chunk("00db", pixels);
    index += "00db";
    Put32(index, 0x10);  // key frame
    Put32(index, offset);
    Put32(index, frameBytes);
    offset += 8 + frameBytes + frameBytes % 2;
  }

  const std::string stream = List("strl", Chunk("strh", strh) + Chunk("strf", strf));
  const std::string header = List("hdrl", Chunk("avih", avih) + stream);
  const std::string body = "AVI " + header + List("movi", movi) + Chunk("idx1", index);
  return Chunk("RIFF", body);
}

}  // namespace skyloom::testing
