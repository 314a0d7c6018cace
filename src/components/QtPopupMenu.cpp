#include "components/QtPopupMenu.h"

#include <QMenu>

namespace lt {

QtPopupMenu::QtPopupMenu(TComponent* AOwner, QMenu* menu) : TPopupMenu(AOwner), FMenu(menu) {}

void QtPopupMenu::Popup(int X, int Y)
{
    if (FMenu)
        FMenu->exec(QPoint(X, Y)); // runs until the menu closes
}

} // namespace lt
