#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lt {

// Lines of a multi-line text field's text: a line break is LF, CR LF or CR;
// a final empty line after the last break is not a line; any other empty
// line is a line holding the empty text.
std::vector<std::string> splitMemoLines(std::string_view text);

// A file's text as a multi-line field holds it: every form of line end
// becomes LF, and a code 26 at the start of a line ends the text.
std::string normaliseLineBreaks(std::string_view fileText);

// A field's text as a file holds it: every LF becomes CR LF.
std::string toCrLf(std::string_view fieldText);

} // namespace lt
