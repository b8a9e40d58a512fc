#pragma once
// SHA-256 of a byte block, as lower-case hex (for comparing decodes with the
// reference hashes of the test corpus).
#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::testing_util {

std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);

}  // namespace skyloom::testing_util
