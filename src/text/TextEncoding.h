#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

bool isValidUtf8(std::string_view text);

// Text read from a file: UTF-8 as it is; anything else is taken to be
// GB18030 (a superset of GB2312, the code page of the program's original
// platform) and converted to UTF-8.
std::string decodeFileText(std::string&& raw);

// Case-folded key for comparisons that ignore letter case.
std::string foldCase(std::string_view text);

// Equality with letter case ignored, and a hash that agrees with it; neither
// allocates.
bool equalIgnoringCase(std::string_view a, std::string_view b);
std::uint64_t foldedHash(std::string_view text);

} // namespace lt
