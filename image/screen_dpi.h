#pragma once
// The screen's resolution in dots per inch, used where a file states none.
// The Windows build asks the display; the portable build answers 96.
namespace skyloom {

int ScreenDpi();

}  // namespace skyloom
