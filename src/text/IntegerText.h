#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

// Strict whole-number conversion: optional leading blanks, optional sign,
// decimal digits or hexadecimal after "$", "x", "X", "0x", "0X", nothing
// after, 32-bit range. Raises "'%s' is not a valid integer value".
std::int32_t strToInt(std::string_view text);

// Same rules; false instead of an error.
bool tryStrToInt(std::string_view text, std::int32_t& value);

// Plain decimal with a leading "-" when negative.
std::string intToStr(std::int32_t value);

// Appends the decimal form to out without allocating a temporary.
void appendInt(std::string& out, std::int32_t value);

} // namespace lt
