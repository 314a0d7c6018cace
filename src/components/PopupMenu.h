#pragma once
#include "components/Component.h"

namespace lt {

// A popup menu as the tray icon sees it; the window layer provides the real one.
class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    // Shows the menu at a screen point and returns only after it has closed;
    // the menu runs the chosen command itself.
    virtual void Popup(int X, int Y) = 0;
};

} // namespace lt
