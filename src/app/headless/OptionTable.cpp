#include "app/headless/OptionTable.h"

#include <algorithm>
#include <sstream>

namespace lt {

namespace {
constexpr std::size_t kTextColumn = 23;
constexpr std::size_t kWidth = 78;
// Stands for a blank that no line break may replace ("1 to 32").
constexpr char kKeepTogether = '\x01';
} // namespace

std::string optionHelpEntry(std::string_view names, std::string_view help)
{
    std::string out = "  " + std::string(names);
    // Two blanks at least: help2man tells an option from its text by them.
    if (out.size() + 2 > kTextColumn)
        out += '\n' + std::string(kTextColumn, ' ');
    else
        out.append(kTextColumn - out.size(), ' ');
    std::size_t column = kTextColumn;
    bool lineStart = true;
    std::size_t at = 0;
    while (at <= help.size()) {
        const std::size_t end = std::min(help.find('\n', at), help.size());
        std::istringstream words{std::string(help.substr(at, end - at))};
        std::string word;
        while (words >> word) {
            if (!lineStart && column + 1 + word.size() > kWidth) {
                out += '\n' + std::string(kTextColumn, ' ');
                column = kTextColumn;
                lineStart = true;
            }
            if (!lineStart) {
                out += ' ';
                ++column;
            }
            column += word.size();
            std::replace(word.begin(), word.end(), kKeepTogether, ' ');
            out += word;
            lineStart = false;
        }
        if (end < help.size()) {
            out += '\n' + std::string(kTextColumn, ' ');
            column = kTextColumn;
            lineStart = true;
        }
        at = end + 1;
    }
    return out + '\n';
}

std::string withRange(std::string_view help, std::int32_t low, std::int32_t high)
{
    std::string out(help);
    const std::string range = std::to_string(low) + kKeepTogether + "to" + kKeepTogether + std::to_string(high);
    for (std::size_t at; (at = out.find("{range}")) != std::string::npos;)
        out.replace(at, 7, range);
    return out;
}

} // namespace lt
