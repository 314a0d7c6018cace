#include "search/MemoryOptions.h"

#include "search/Interval.h"
#include "text/MemoLines.h"

namespace lt {

MemoryOptions::MemoryOptions() : interval_(kIntervalDefault)
{
    setFilterText(FilterList::MustContain, "http://");
    setFilterText(FilterList::MustNotContain, "#");
}

void MemoryOptions::setInterval(std::int32_t seconds)
{
    interval_ = clampInterval(seconds);
}

void MemoryOptions::setFilterText(FilterList list, const std::string& text)
{
    text_[index(list)] = text;
    lines_[index(list)] = splitMemoLines(text);
}

const std::string& MemoryOptions::filterLine(FilterList list, int i) const
{
    return lines_[index(list)].at(static_cast<std::size_t>(i));
}

} // namespace lt
