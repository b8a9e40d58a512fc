#pragma once
// A small uncompressed AVI for the device tests: one video stream of
// 32-bit frames (Wine's video device draws 24-bit ones with a 32-bit
// stride), each a different flat colour with a white bar 8 pixels wide
// that moves right by its width each frame; with an index.
#include <string>

namespace skyloom::testing {

std::string MakeAvi(int width, int height, int frames, int framesPerSecond);

}  // namespace skyloom::testing
