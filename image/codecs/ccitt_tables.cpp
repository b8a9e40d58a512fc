#include "image/codecs/ccitt_tables.h"

#include <array>
#include <string_view>

namespace skyloom::fax {
namespace {

// The codes as written in T.4, most significant bit first.
constexpr std::string_view kWhiteTerminating[64] = {
    "00110101", "000111",   "0111",     "1000",     "1011",     "1100",     "1110",     "1111",
    "10011",    "10100",    "00111",    "01000",    "001000",   "000011",   "110100",   "110101",
    "101010",   "101011",   "0100111",  "0001100",  "0001000",  "0010111",  "0000011",  "0000100",
    "0101000",  "0101011",  "0010011",  "0100100",  "0011000",  "00000010", "00000011", "00011010",
    "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000",
    "01011001", "01011010", "01011011", "01001010", "01001011", "00110010", "00110011", "00110100",
};

constexpr std::string_view kBlackTerminating[64] = {
    "0000110111",   "010",          "11",           "10",           "011",          "0011",
    "0010",         "00011",        "000101",       "000100",       "0000100",      "0000101",
    "0000111",      "00000100",     "00000111",     "000011000",    "0000010111",   "0000011000",
    "0000001000",   "00001100111",  "00001101000",  "00001101100",  "00000110111",  "00000101000",
    "00000010111",  "00000011000",  "000011001010", "000011001011", "000011001100", "000011001101",
    "000001101000", "000001101001", "000001101010", "000001101011", "000011010010", "000011010011",
    "000011010100", "000011010101", "000011010110", "000011010111", "000001101100", "000001101101",
    "000011011010", "000011011011", "000001010100", "000001010101", "000001010110", "000001010111",
    "000001100100", "000001100101", "000001010010", "000001010011", "000000100100", "000000110111",
    "000000111000", "000000100111", "000000101000", "000001011000", "000001011001", "000000101011",
    "000000101100", "000001011010", "000001100110", "000001100111",
};

// Make-up codes of 64..1728, entry n for (n + 1) × 64.
constexpr std::string_view kWhiteMakeUp[27] = {
    "11011",     "10010",     "010111",    "0110111",   "00110110",  "00110111",  "01100100",
    "01100101",  "01101000",  "01100111",  "011001100", "011001101", "011010010", "011010011",
    "011010100", "011010101", "011010110", "011010111", "011011000", "011011001", "011011010",
    "011011011", "010011000", "010011001", "010011010", "011000",    "010011011",
};

constexpr std::string_view kBlackMakeUp[27] = {
    "0000001111",    "000011001000",  "000011001001",  "000001011011",  "000000110011",  "000000110100",
    "000000110101",  "0000001101100", "0000001101101", "0000001001010", "0000001001011", "0000001001100",
    "0000001001101", "0000001110010", "0000001110011", "0000001110100", "0000001110101", "0000001110110",
    "0000001110111", "0000001010010", "0000001010011", "0000001010100", "0000001010101", "0000001011010",
    "0000001011011", "0000001100100", "0000001100101",
};

// Make-up codes of 1792..2560, shared by both colours.
constexpr std::string_view kExtendedMakeUp[13] = {
    "00000001000",  "00000001100",  "00000001101",  "000000010010", "000000010011",
    "000000010100", "000000010101", "000000010110", "000000010111", "000000011100",
    "000000011101", "000000011110", "000000011111",
};

constexpr TFaxCode Parse(std::string_view text) {
  TFaxCode code;
  for (const char c : text) code.bits = static_cast<std::uint16_t>(code.bits << 1 | (c == '1' ? 1 : 0));
  code.length = static_cast<std::uint8_t>(text.size());
  return code;
}

TCodeTable BuildRunTable(TColour colour) {
  const auto& terminating = colour == kWhite ? kWhiteTerminating : kBlackTerminating;
  const auto& makeUp = colour == kWhite ? kWhiteMakeUp : kBlackMakeUp;
  TCodeTable table;
  for (int run = 0; run < 64; ++run) table.Add(Parse(terminating[run]), TCodeKind::Terminating, run);
  for (int n = 0; n < 27; ++n) table.Add(Parse(makeUp[n]), TCodeKind::MakeUp, (n + 1) * 64);
  for (int n = 0; n < 13; ++n) table.Add(Parse(kExtendedMakeUp[n]), TCodeKind::MakeUp, (n + 28) * 64);
  table.Add(kEolCode, TCodeKind::Eol, 0);
  return table;
}

TCodeTable BuildModeTable() {
  TCodeTable table;
  table.Add(kPassCode, TCodeKind::Pass, 0);
  table.Add(kHorizontalCode, TCodeKind::Horizontal, 0);
  for (int d = -3; d <= 3; ++d) table.Add(kVerticalCodes[d + 3], TCodeKind::Vertical, d);
  for (int x = 0; x < 8; ++x) table.Add({static_cast<std::uint16_t>(0x8 | x), 10}, TCodeKind::Extension, x);
  table.Add(kEolCode, TCodeKind::Eol, 0);
  return table;
}

template <std::size_t N>
constexpr std::array<TFaxCode, N> ParseAll(const std::string_view (&texts)[N]) {
  std::array<TFaxCode, N> codes{};
  for (std::size_t i = 0; i < N; ++i) codes[i] = Parse(texts[i]);
  return codes;
}

constexpr auto kWhiteTerminatingCodes = ParseAll(kWhiteTerminating);
constexpr auto kBlackTerminatingCodes = ParseAll(kBlackTerminating);
constexpr auto kWhiteMakeUpCodes = ParseAll(kWhiteMakeUp);
constexpr auto kBlackMakeUpCodes = ParseAll(kBlackMakeUp);
constexpr auto kExtendedMakeUpCodes = ParseAll(kExtendedMakeUp);

}  // namespace

void TCodeTable::Add(TFaxCode code, TCodeKind kind, int value) {
  const TCodeEntry leaf{static_cast<std::int16_t>(value), code.length, kind};
  if (code.length <= kFirstBits) {
    const unsigned span = 1u << (kFirstBits - code.length);
    const unsigned first = static_cast<unsigned>(code.bits) << (kFirstBits - code.length);
    for (unsigned i = 0; i < span; ++i) entries_[first + i] = leaf;
    return;
  }
  const int rest = code.length - kFirstBits;
  TCodeEntry& head = entries_[code.bits >> rest];
  if (head.kind != TCodeKind::Link) {
    head = {static_cast<std::int16_t>(entries_.size()), 0, TCodeKind::Link};
    entries_.resize(entries_.size() + (1u << kSecondBits));
  }
  const unsigned span = 1u << (kSecondBits - rest);
  const unsigned first = (code.bits & ((1u << rest) - 1)) << (kSecondBits - rest);
  const std::size_t base = static_cast<std::size_t>(entries_[code.bits >> rest].value);
  for (unsigned i = 0; i < span; ++i) entries_[base + first + i] = leaf;
}

const TCodeTable& RunTable(TColour colour) {
  static const TCodeTable white = BuildRunTable(kWhite);
  static const TCodeTable black = BuildRunTable(kBlack);
  return colour == kWhite ? white : black;
}

const TCodeTable& ModeTable() {
  static const TCodeTable modes = BuildModeTable();
  return modes;
}

TFaxCode TerminatingCode(TColour colour, int run) {
  return (colour == kWhite ? kWhiteTerminatingCodes : kBlackTerminatingCodes)[static_cast<std::size_t>(run)];
}

TFaxCode MakeUpCode(TColour colour, int run) {
  const auto n = static_cast<std::size_t>(run / 64 - 1);
  if (n >= 27) return kExtendedMakeUpCodes[n - 27];
  return (colour == kWhite ? kWhiteMakeUpCodes : kBlackMakeUpCodes)[n];
}

}  // namespace skyloom::fax
