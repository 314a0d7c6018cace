#pragma once
#include <optional>
#include <string>

namespace lt {

// The result list: appended to by the harvest, emptied by Start and Continue.
// Implementations batch their own redrawing.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    // Appends an item with the caption; returns its index.
    virtual int appendItem(const std::string& caption) = 0;
    // Scrolls until the item is at least partly visible.
    virtual void makeVisible(int index) = 0;
    virtual void clearResults() = 0;
};

// Status panels 0 to 6 (StatusPanels.h).
class StatusBarView {
public:
    virtual ~StatusBarView() = default;
    virtual void setPanelText(int panel, const std::string& text) = 0;
};

enum class SearchCommand { ChooseList, Start, Stop, Continue };

// Everything else the search controller needs from the main window: the
// result list, the status bar, the commands' enabled state and the boxes.
class SearchView : public ResultSink, public StatusBarView {
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
    // Title "选择网址列表文件"; the chosen file's path as the file system's
    // bytes, or nothing when cancelled.
    virtual std::optional<std::string> openFileDialog(const std::string& initialFolder) = 0;
};

} // namespace lt
