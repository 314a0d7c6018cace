#include "ui/ModalWindows.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace lt {

namespace {
QPointer<QWidget>& owner()
{
    static QPointer<QWidget> window;
    return window;
}

QWindow* nativeWindow(QWidget& widget)
{
    widget.winId(); // creates the native window without showing it
    return widget.windowHandle();
}
} // namespace

void setModalOwner(QWidget* window)
{
    owner() = window;
}

QWidget* modalOwner()
{
    return owner();
}

int execModal(QDialog& dialog)
{
    QWidget* root = owner();
    if (!dialog.parentWidget() && root && root != &dialog)
        nativeWindow(dialog)->setTransientParent(nativeWindow(*root->window()));
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

} // namespace lt
