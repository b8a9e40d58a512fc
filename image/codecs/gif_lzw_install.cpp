#include "image/codecs/gif_lzw_install.h"

#include "image/codecs/gif_lzw_decoder.h"
#include "image/codecs/gif_lzw_encoder.h"

namespace skyloom {

void InstallGifLzwHooks(TLzwHooks& hooks) {
  hooks.GifDecoder = DecodeGifLzw;
  hooks.GifEncoder = EncodeGifLzw;
}

}  // namespace skyloom
