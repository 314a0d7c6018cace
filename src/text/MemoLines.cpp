#include "text/MemoLines.h"

namespace lt {

std::vector<std::string> splitMemoLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\n' && text[j] != '\r')
            ++j;
        lines.emplace_back(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n')
            ++j;
        i = j + 1;
    }
    return lines;
}

std::string normaliseLineBreaks(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (lineStart && c == 26)
            break;
        if (c == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            out += '\n';
            lineStart = true;
        } else {
            out += c;
            lineStart = c == '\n';
        }
    }
    return out;
}

std::string toCrLf(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (char c : s) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

} // namespace lt
