#pragma once
// Conversions between the engine's UTF-8 strings, the Windows wide API and
// 8-bit text in the system code page.
#include <optional>
#include <string>
#include <string_view>

namespace skyloom {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// Text in the system code page, or nothing when a character has no exact
// representation there (no best-fit substitutes, which would corrupt paths).
std::optional<std::string> ToCodePage(const std::wstring& wide);
std::wstring FromCodePage(std::string_view bytes);

// The system's own words for an error code (a Win32 error or an HRESULT),
// without the line break it ends with; "Error N" when it has none.
std::string SystemErrorText(unsigned long code);

}  // namespace skyloom
