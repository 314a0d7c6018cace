#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace lt {

enum class FilterList { MustContain, MustNotContain };

// The option elements of the main window that the search reads and the
// progress file stores.
class OptionsView {
public:
    virtual ~OptionsView() = default;

    virtual std::string addressListPath() const = 0;
    virtual void setAddressListPath(const std::string& path) = 0;

    // The integer value of the spin field's text; 1 when it is not a number.
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

// The result list: appended to by the harvest, emptied by Start and Continue.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void beginUpdate() = 0;
    // Appends an item with the caption; returns its index.
    virtual int appendItem(const std::string& caption) = 0;
    virtual void makeVisible(int index) = 0;
    virtual void endUpdate() = 0;
    virtual void clearResults() = 0;
};

// Status panels 0 to 6.
class StatusBarView {
public:
    virtual ~StatusBarView() = default;
    virtual void setPanelText(int panel, const std::string& text) = 0;
};

enum class SearchCommand { ChooseList, Start, Stop, Continue };

// Everything the search controller needs from the main window.
class SearchView : public OptionsView, public ResultSink, public StatusBarView {
public:
    virtual void setCommandEnabled(SearchCommand command, bool enabled) = 0;
    virtual void repaintNow() = 0;

    // Information icon, caption "信息", button "确定".
    virtual void informationBox(const std::string& text) = 0;
    // Application title as caption, no icon, button "确定".
    virtual void plainMessageBox(const std::string& text) = 0;
    // Buttons "确定" and "放弃"; nothing when cancelled.
    virtual std::optional<std::string> inputDialog(const std::string& caption, const std::string& prompt,
                                                   const std::string& initial)
        = 0;
    // Title "选择网址列表文件"; nothing when cancelled.
    virtual std::optional<std::string> openFileDialog(const std::string& initialFolder) = 0;
};

} // namespace lt
