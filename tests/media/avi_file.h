#pragma once
// A small uncompressed AVI for the device tests: one video stream of
// 24-bit frames, each a different flat colour, with an index.
#include <string>

namespace skyloom::testing {

std::string MakeAvi(int width, int height, int frames, int framesPerSecond);

}  // namespace skyloom::testing
