#pragma once
// Gallery list files (*.Gal for images, *.vgl for videos): one entry per
// line, every line ended by CR LF, no header. Entries are 8-bit text in the
// system code page; the caller converts to and from its own strings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom {

// The file's bytes for these entries (an empty list gives no bytes).
std::string ListFileBytes(const std::vector<std::string>& entries);

// Splits a file's bytes into entries. A line ends at CR, LF or CR LF (so LF CR
// is a line and then an empty one); a NUL ends the text; a final line without
// terminator counts, a terminator at the very end adds no entry.
std::vector<std::string> ParseListFile(const std::uint8_t* data, std::size_t size);
// The same entries as views into the bytes, for a reader that converts them
// itself without copying each one first.
std::vector<std::string_view> SplitListFile(std::string_view bytes);

// Whole-file helpers over the stream layer ("Cannot create file %s",
// "Cannot open file %s"). Reading denies other writers while it reads.
void SaveListFile(const std::string& path, const std::vector<std::string>& entries);
std::vector<std::uint8_t> ReadListFile(const std::string& path);
std::vector<std::string> LoadListFile(const std::string& path);

}  // namespace skyloom
