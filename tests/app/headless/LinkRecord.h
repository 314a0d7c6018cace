#pragma once
// One accepted link as the jsonl and csv formats of linktrawl carry it.
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace lt::test {

struct Record {
    long long line = 0;
    std::string page;
    std::string link;

    bool operator==(const Record& o) const { return std::tie(line, page, link) == std::tie(o.line, o.page, o.link); }
};

inline std::ostream& operator<<(std::ostream& os, const Record& r)
{
    return os << r.line << " " << r.page << " " << r.link;
}

// The links of records as the text format writes them.
inline std::string asText(const std::vector<Record>& records, const std::string& eol = "\n")
{
    std::string text;
    for (const Record& r : records)
        text += r.link + eol;
    return text;
}

} // namespace lt::test
