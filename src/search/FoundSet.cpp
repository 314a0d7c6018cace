#include "search/FoundSet.h"

#include "text/TextEncoding.h"

namespace lt {

void FoundSet::clear()
{
    links_.clear();
    keys_.clear();
}

bool FoundSet::contains(std::string_view link) const
{
    return keys_.count(foldCase(link)) != 0;
}

bool FoundSet::insert(const std::string& link)
{
    if (!keys_.insert(foldCase(link)).second)
        return false;
    links_.push_back(link);
    return true;
}

} // namespace lt
