#pragma once
// The command's output read back: its lines, and its CSV as RFC 4180 has it.
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lt::test {

// The lines of text, each ended by eol (a missing last one is a failure).
inline std::vector<std::string> splitLines(const std::string& text, const std::string& eol = "\n")
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t at = text.find(eol, from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "the output does not end with a line break: " << text.substr(from);
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + eol.size();
    }
    return lines;
}

// RFC 4180: records end with CR LF; a field is quoted when it holds a comma,
// a quote (doubled inside) or a line break; a quote elsewhere is an error.
inline std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool closed = false; // a quoted field has just ended
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
                closed = true;
            }
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            closed = false;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            closed = false;
            ++i;
        } else if (c == '"' && field.empty() && !closed) {
            quoted = true;
        } else if (c == '"' || c == '\r' || c == '\n' || closed) {
            ADD_FAILURE() << "not RFC 4180 at byte " << i << " of " << text;
            return rows;
        } else {
            field += c;
        }
    }
    EXPECT_FALSE(quoted) << "a quoted field is not closed";
    EXPECT_TRUE(row.empty() && field.empty()) << "the last record does not end with CR LF";
    return rows;
}

} // namespace lt::test
