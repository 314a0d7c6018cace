#pragma once
#include "components/Component.h"
#include "components/Icon.h"
#include "components/ImageList.h"
#include "components/PopupMenu.h"
#include "components/TrayShell.h"
#include "base/Error.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lt {

class EantTaskbarIcon : public Error {
public:
    using Error::Error;
};

enum class TMouseButton { mbLeft = 0, mbRight = 1 };

// Bit set of keys and buttons held during a mouse event.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;

// X and Y are screen coordinates of the cursor.
using TMouseEvent = std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TNotifyEvent = std::function<void(TComponent* Sender)>;

// One icon in the notification area: keeps its image and hint up to date
// there and turns the shell's mouse notices into events and a popup menu.
class TantTaskbarIcon : public TComponent {
public:
    static constexpr std::uint32_t kCallbackMessage = WM_USER + 1;
    static constexpr std::size_t kMaxHint = 63;

    // The shell must outlive the component.
    TantTaskbarIcon(TComponent* AOwner, TrayShell& shell);
    ~TantTaskbarIcon() override;

    // Events; empty at creation.
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnPopupMenu;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    // The component's own icon object; a stored image may be put straight in
    // it without the setter (the definition's loading does so).
    TIcon* Icon() { return &FIcon; }
    TCustomImageList* ImageList() const { return FImageList; }
    int ImageIndex() const { return FImageIndex; }
    int IconID() const { return FIconID; }
    bool Visible() const { return FVisible; }
    bool Enabled() const { return FEnabled; }
    const std::string& Hint() const { return FHint; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

    virtual void SetIcon(const TIcon* Value);
    virtual void SetImageList(TCustomImageList* Value);
    virtual void SetImageIndex(int Value);
    virtual void SetIconID(int Value);
    virtual void SetVisible(bool Value);
    virtual void SetEnabled(bool Value);
    virtual void SetHint(const std::string& Value);

    // The hidden window and the record last sent, for whoever watches the shell.
    HWND Handle() const { return FHandle; }
    std::uint32_t Flags() const { return FFlags; }
    const NotifyIconData& IconData() const { return FIconData; }

    virtual void TrayWndProc(TMessage& Message);

protected:
    virtual void FillIconData();
    virtual void AddToTaskbar();
    virtual void DeleteFromTaskbar();
    virtual void TakeImageListIcon();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Click();
    virtual void DblClick();
    virtual void UpDate();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void PopupAtCursor();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TrayShell& Shell() { return FShell; }

private:
    void SendToShell(std::uint32_t request, const char* operation);
    TShiftState KeyState();

    TrayShell& FShell;
    HWND FHandle = 0;
    NotifyIconData FIconData;
    TIcon FIcon;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = 0;
    int FIconID = 0;
    std::uint32_t FFlags = NIF_MESSAGE | NIF_TIP;
    bool FVisible = false;
    bool FEnabled = true;
    std::string FHint;
    TPopupMenu* FPopupMenu = nullptr;
    bool FClickPending = false;
};

} // namespace lt
