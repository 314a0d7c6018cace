#include "components/antTaskbarIcon.h"

#include <algorithm>
#include <cstring>

namespace lt {

namespace {

// The tip goes to the shell as UTF-8, so the cut must not split a character.
std::string cutHint(const std::string& hint, std::size_t limit)
{
    if (hint.size() <= limit)
        return hint;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(hint[end]) & 0xC0) == 0x80)
        --end;
    return hint.substr(0, end);
}

} // namespace

TantTaskbarIcon::TantTaskbarIcon(TComponent* AOwner, TrayShell& shell)
    : TComponent(AOwner), FShell(shell)
{
    FHandle = FShell.AllocateHWnd([this](TMessage& m) { TrayWndProc(m); });
}

TantTaskbarIcon::~TantTaskbarIcon()
{
    // A destructor cannot pass a failed removal on; the window goes anyway.
    try {
        SetVisible(false);
    } catch (...) {
    }
    FShell.DeallocateHWnd(FHandle);
}

void TantTaskbarIcon::FillIconData()
{
    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = FHandle;
    data.uID = static_cast<std::uint32_t>(FIconID);
    data.uFlags = FFlags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = FIcon.Handle();
    std::memcpy(data.szTip, FHint.data(), std::min(FHint.size(), kMaxHint));
    FIconData = data;
}

void TantTaskbarIcon::SendToShell(std::uint32_t request, const char* operation)
{
    try {
        FillIconData();
        FShell.ShellNotifyIcon(request, FIconData); // a refusal is not an error
    } catch (...) {
        throw EantTaskbarIcon(Name() + "." + operation + " failed");
    }
}

void TantTaskbarIcon::AddToTaskbar() { SendToShell(NIM_ADD, "AddToTaskbar"); }
void TantTaskbarIcon::UpDate() { SendToShell(NIM_MODIFY, "UpDate"); }
void TantTaskbarIcon::DeleteFromTaskbar() { SendToShell(NIM_DELETE, "DeleteFromTaskbar"); }

void TantTaskbarIcon::ShowIcon()
{
    FFlags |= NIF_ICON;
    AddToTaskbar();
    FVisible = true;
    if (OnShow)
        OnShow(this);
}

void TantTaskbarIcon::HideIcon()
{
    FFlags &= ~NIF_ICON;
    DeleteFromTaskbar();
    FVisible = false;
    if (OnHide)
        OnHide(this);
}

void TantTaskbarIcon::TakeImageListIcon()
{
    if (!FImageList)
        return;
    FIcon.Assign(nullptr);
    FImageList->GetIcon(FImageIndex, FIcon);
    UpDate();
}

void TantTaskbarIcon::SetIcon(const TIcon* Value)
{
    FIcon.Assign(Value);
    UpDate();
}

void TantTaskbarIcon::SetImageList(TCustomImageList* Value)
{
    FImageList = Value;
    TakeImageListIcon();
}

void TantTaskbarIcon::SetImageIndex(int Value)
{
    FImageIndex = Value;
    TakeImageListIcon();
}

void TantTaskbarIcon::SetIconID(int Value)
{
    if (Value == FIconID)
        return;
    const bool wasVisible = FVisible;
    SetVisible(false);
    FIconID = Value;
    SetVisible(wasVisible);
}

void TantTaskbarIcon::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

void TantTaskbarIcon::SetEnabled(bool Value) { FEnabled = Value; }

void TantTaskbarIcon::SetHint(const std::string& Value)
{
    FHint = cutHint(Value, kMaxHint);
    UpDate();
}

TShiftState TantTaskbarIcon::KeyState()
{
    TShiftState s = 0;
    if (FShell.GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (FShell.GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (FShell.GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

void TantTaskbarIcon::TrayWndProc(TMessage& Message)
{
    if (Message.Msg != kCallbackMessage || !FEnabled) {
        Message.Result = FShell.DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    const TPoint pt = FShell.GetCursorPos();
    switch (Message.LParam) {
    case WM_LBUTTONDOWN:
        FClickPending = true;
        MouseDown(TMouseButton::mbLeft, KeyState() | ssLeft, pt.X, pt.Y);
        break;
    case WM_LBUTTONUP:
        MouseUp(TMouseButton::mbLeft, KeyState() | ssLeft, pt.X, pt.Y);
        if (FClickPending)
            Click();
        FClickPending = false;
        break;
    case WM_LBUTTONDBLCLK:
        DblClick();
        break;
    case WM_RBUTTONDOWN:
        FShell.SetForegroundWindow(FHandle);
        MouseDown(TMouseButton::mbRight, KeyState() | ssRight, pt.X, pt.Y);
        break;
    case WM_RBUTTONUP:
        PopupAtCursor();
        MouseUp(TMouseButton::mbRight, KeyState() | ssRight, pt.X, pt.Y);
        break;
    default:
        break;
    }
}

void TantTaskbarIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TantTaskbarIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FShell.SetForegroundWindow(FShell.ApplicationHandle());
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TantTaskbarIcon::Click()
{
    if (OnClick)
        OnClick(this);
}

void TantTaskbarIcon::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TantTaskbarIcon::PopupAtCursor()
{
    if (!FPopupMenu)
        return;
    const TPoint pt = FShell.GetCursorPos();
    FPopupMenu->Popup(pt.X, pt.Y);
    FShell.PostMessage(FHandle, WM_NULL, 0, 0);
    if (OnPopupMenu)
        OnPopupMenu(this);
}

void TantTaskbarIcon::Loaded()
{
    TComponent::Loaded();
    if (FVisible)
        ShowIcon();
}

void TantTaskbarIcon::Notification(TComponent* AComponent, TOperation Operation)
{
    if (AComponent == FPopupMenu && Operation == TOperation::opRemove)
        FPopupMenu = nullptr;
    TComponent::Notification(AComponent, Operation);
}

} // namespace lt
