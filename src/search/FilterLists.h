#pragma once
#include "search/SearchView.h"
#include "text/MemoLines.h"

#include <string>
#include <vector>

namespace lt {

// The two filter lists held in memory, with their lines kept ready, for views
// that have no text fields of their own.
class FilterLists {
public:
    FilterLists()
    {
        set(FilterList::MustContain, "http://");
        set(FilterList::MustNotContain, "#");
    }

    const std::string& text(FilterList list) const { return text_[index(list)]; }
    void set(FilterList list, const std::string& text)
    {
        text_[index(list)] = text;
        lines_[index(list)] = splitMemoLines(text);
    }
    int lineCount(FilterList list) const { return static_cast<int>(lines_[index(list)].size()); }
    const std::string& line(FilterList list, int i) const { return lines_[index(list)].at(static_cast<std::size_t>(i)); }

private:
    static int index(FilterList list) { return list == FilterList::MustContain ? 0 : 1; }
    std::string text_[2];
    std::vector<std::string> lines_[2];
};

} // namespace lt
