#pragma once
// Escaping for the state file's lines: "%XX" stands for a byte that may not
// stand as it is ('%', control characters, bytes outside UTF-8 sequences,
// and in names the blank that ends them).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace skyloom {

// The length of the well-formed UTF-8 sequence that starts text (no overlong
// forms, no surrogates, nothing above U+10FFFF); 0 when none starts there.
std::size_t Utf8SequenceLength(std::string_view text);
bool IsUtf8(std::string_view text);

void AppendEscaped(std::string& out, std::string_view text, bool escapeBlank);
// Nothing when a '%' is not followed by two hexadecimal digits.
std::optional<std::string> Unescape(std::string_view text);

}  // namespace skyloom
