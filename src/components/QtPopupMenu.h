#pragma once
#include "components/PopupMenu.h"

#include <QPointer>

class QMenu;

namespace lt {

// The tray's popup menu over a QMenu that the window owns; a menu that is
// gone shows nothing.
class QtPopupMenu : public TPopupMenu {
public:
    QtPopupMenu(TComponent* AOwner, QMenu* menu);
    QMenu* menu() const { return FMenu; }
    void Popup(int X, int Y) override;

private:
    QPointer<QMenu> FMenu;
};

} // namespace lt
