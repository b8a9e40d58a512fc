#pragma once
// The automatic choice among the decoder's reductions 1/1, 1/2, 1/4 and 1/8.

namespace skyloom {

// The denominator among 1, 2, 4 and 8 whose decoded area
// (width / d) x (height / d), taken as exact fractions, lies closest to
// wantedPixels; the first of equals wins. No wanted area (0) means full size.
unsigned JpegScaleDenominator(long long width, long long height, long long wantedPixels);

}  // namespace skyloom
