#pragma once
// One accepted link as the jsonl and csv formats of linktrawl carry it.
#include <ostream>
#include <string>
#include <tuple>

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

} // namespace lt::test
