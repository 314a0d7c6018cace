#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

bool isValidUtf8(std::string_view text);
// Length of the longest prefix of text that is well-formed UTF-8.
std::size_t validUtf8Length(std::string_view text);

// How a file's text is read. Each file is read in one encoding: a file that
// holds UTF-8 alone is UTF-8; any other is taken to be GB18030 (a superset of
// GB2312, the code page of the program's original platform).
enum class FileEncoding { Utf8, Gb18030 };

// The encoding a sample of a file's text shows. When the sample does not end
// the file, a UTF-8 sequence cut by its end still counts as UTF-8.
FileEncoding encodingOfSample(std::string_view sample, bool endsFile);

// Text of a file in its encoding, as UTF-8. Bytes the encoding cannot read
// are kept as they are, so nothing of the file is lost.
std::string decodeText(std::string&& raw, FileEncoding encoding);

// A whole file's text, its encoding judged from all of it.
std::string decodeFileText(std::string&& raw);

// The text with every byte that is not part of a well-formed UTF-8 sequence
// written as its percent-escape ("%D6"), the way an address carries bytes.
std::string escapeNonUtf8Bytes(std::string_view text);

// Case-folded key for comparisons that ignore letter case.
std::string foldCase(std::string_view text);

// Equality with letter case ignored, and a hash that agrees with it; neither
// allocates.
bool equalIgnoringCase(std::string_view a, std::string_view b);
std::uint64_t foldedHash(std::string_view text);

} // namespace lt
