#pragma once
#include <cstdint>
#include <string>

namespace lt {

enum class FilterList { MustContain, MustNotContain };

// The option elements of the main window that the search reads and the
// progress file stores.
class OptionsView {
public:
    virtual ~OptionsView() = default;

    // The bytes the file system has for the list's path, whatever the
    // field shows.
    virtual std::string addressListPath() const = 0;
    virtual void setAddressListPath(const std::string& path) = 0;

    // The integer value of the spin field's text; its minimum when it is not
    // a number. While the field is being edited it can lie outside 1..60.
    virtual std::int32_t interval() const = 0;
    // Brings the value into 1..60 first.
    virtual void setInterval(std::int32_t seconds) = 0;

    virtual bool ownSiteOption() const = 0;
    virtual void setOwnSiteOption(bool on) = 0;
    virtual bool filterOption() const = 0;
    virtual void setFilterOption(bool on) = 0;

    // Whole text of a filter list, lines separated by LF.
    virtual std::string filterText(FilterList list) const = 0;
    virtual void setFilterText(FilterList list, const std::string& text) = 0;

    // Lines of a filter list (see splitMemoLines), read by the harvest for
    // every link: implementations keep them ready rather than splitting anew.
    virtual int filterLineCount(FilterList list) const = 0;
    virtual const std::string& filterLine(FilterList list, int index) const = 0;
};

} // namespace lt
