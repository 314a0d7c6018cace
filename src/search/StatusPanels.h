#pragma once

namespace lt {

// The status bar's panels, numbered as the view elements are.
enum StatusPanel : int {
    kPanelTotalLabel = 0,    // "总数："
    kPanelTotal = 1,
    kPanelPositionLabel = 2, // "进程："
    kPanelPosition = 3,
    kPanelFoundLabel = 4,    // "链接："
    kPanelFound = 5,
    kPanelMessage = 6,
};

inline constexpr int kStatusPanelCount = 7;

} // namespace lt
