// Strip framing of the three schemes around the row coders:
// - Modified Huffman: one-dimensional rows, each starting on a byte.
// - T.4: an EOL before each row (fill bits before it with option 4), and
//   with option 1 a tag bit after it, 1 for a one-dimensional row, 0 for a
//   two-dimensional one. The writer codes every fourth row (K = 4, the
//   factor T.4 gives for fine resolution) one-dimensionally, which bounds
//   how far a damaged row spreads, and ends the strip with RTC (six EOLs).
//   The reader takes any number of EOLs, with or without fill, before a
//   row, so a leading EOL, RTC or its absence make no difference.
// - T.6: two-dimensional rows under an all white first reference, EOFB at
//   the end.
// Uncompressed mode (T.4 option 2) is not decoded: its extension code ends
// the strip like any code that cannot be decoded, and the writer never
// uses it.
#include "image/codecs/ccitt_fax.h"

#include <utility>

#include "image/codecs/ccitt_decode.h"
#include "image/codecs/ccitt_encode.h"

namespace skyloom {
namespace {

using fax::TChanges;

constexpr std::uint32_t kTwoDimensional = 1;
constexpr std::uint32_t kFillBits = 4;
constexpr int kOneDimensionalEvery = 4;
constexpr int kRtcEols = 6;

std::size_t RowBytes(int width) { return (static_cast<std::size_t>(width) + 7) / 8; }

bool DecodeT4Row(const TFaxParams& params, fax::TBitReader& in, const TChanges& reference, TChanges& changes) {
  const bool twoDimensional = (params.t4Options & kTwoDimensional) != 0;
  bool oneDimensionalRow = true;
  bool eolSeen = false;
  while (fax::TakeEol(in)) {
    eolSeen = true;
    if (twoDimensional) oneDimensionalRow = in.Take(1) != 0;
  }
  // A missing EOL does not move the tag bit.
  if (twoDimensional && !eolSeen) oneDimensionalRow = in.Take(1) != 0;
  if (oneDimensionalRow) return fax::DecodeRow1D(in, params.width, changes);
  return fax::DecodeRow2D(in, params.width, reference, changes);
}

bool DecodeRow(const TFaxParams& params, fax::TBitReader& in, const TChanges& reference, TChanges& changes) {
  switch (params.scheme) {
    case TFaxScheme::ModifiedHuffman: {
      const bool decoded = fax::DecodeRow1D(in, params.width, changes);
      in.SkipToByte();
      return decoded;
    }
    case TFaxScheme::T4:
      return DecodeT4Row(params, in, reference, changes);
    case TFaxScheme::T6:
      return fax::DecodeRow2D(in, params.width, reference, changes);
  }
  return false;
}

void PutEol(const TFaxParams& params, fax::TBitWriter& out) {
  if (params.t4Options & kFillBits) out.PadBefore(fax::kEolCode.length);
  out.Put(fax::kEolCode);
}

void EncodeRow(const TFaxParams& params, fax::TBitWriter& out, int row, const TChanges& reference,
               const TChanges& changes) {
  switch (params.scheme) {
    case TFaxScheme::ModifiedHuffman:
      fax::EncodeRow1D(out, params.width, changes);
      out.PadToByte();
      return;
    case TFaxScheme::T4: {
      PutEol(params, out);
      if ((params.t4Options & kTwoDimensional) == 0) {
        fax::EncodeRow1D(out, params.width, changes);
        return;
      }
      const bool oneDimensionalRow = row % kOneDimensionalEvery == 0;
      out.PutBit(oneDimensionalRow ? 1 : 0);
      if (oneDimensionalRow) fax::EncodeRow1D(out, params.width, changes);
      else fax::EncodeRow2D(out, params.width, reference, changes);
      return;
    }
    case TFaxScheme::T6:
      fax::EncodeRow2D(out, params.width, reference, changes);
      return;
  }
}

void EncodeEnd(const TFaxParams& params, fax::TBitWriter& out) {
  if (params.scheme == TFaxScheme::T4) {
    for (int i = 0; i < kRtcEols; ++i) {
      PutEol(params, out);
      if (params.t4Options & kTwoDimensional) out.PutBit(1);
    }
  }
  if (params.scheme == TFaxScheme::T6) {
    out.Put(fax::kEolCode);  // EOFB: two EOLs
    out.Put(fax::kEolCode);
  }
  out.PadToByte();
}

}  // namespace

int DecodeFaxRows(const TFaxParams& params, const std::uint8_t* data, std::size_t size, int rows,
                  std::uint8_t* out, std::size_t stride) {
  if (params.width <= 0 || rows <= 0 || out == nullptr || stride < RowBytes(params.width)) return 0;
  if (data == nullptr) size = 0;
  fax::TBitReader in(data, size);
  TChanges reference(fax::kSentinels, params.width);
  TChanges changes;
  for (int row = 0; row < rows; ++row) {
    if (!DecodeRow(params, in, reference, changes)) return row;
    changes.insert(changes.end(), fax::kSentinels, params.width);
    fax::PaintChanges(changes, params.width, out + static_cast<std::size_t>(row) * stride);
    std::swap(reference, changes);
  }
  return rows;
}

std::vector<std::uint8_t> EncodeFaxRows(const TFaxParams& params, const std::uint8_t* rows, std::size_t stride,
                                        int rowCount) {
  std::vector<std::uint8_t> encoded;
  if (params.width <= 0 || rowCount <= 0 || rows == nullptr || stride < RowBytes(params.width)) return encoded;
  fax::TBitWriter out(encoded);
  TChanges reference(fax::kSentinels, params.width);
  TChanges changes;
  for (int row = 0; row < rowCount; ++row) {
    fax::FindChanges(rows + static_cast<std::size_t>(row) * stride, params.width, changes);
    EncodeRow(params, out, row, reference, changes);
    std::swap(reference, changes);
  }
  EncodeEnd(params, out);
  return encoded;
}

}  // namespace skyloom
