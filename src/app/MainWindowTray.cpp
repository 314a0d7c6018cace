#include "app/MainWindowTray.h"

#include "components/QtIconImage.h"
#include "components/QtPopupMenu.h"
#include "components/antTaskbarIcon.h"
#include "ui/AppInfo.h"
#include "ui/WindowLook.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

namespace lt {

MainWindowTray::MainWindowTray(QWidget& window, Commands commands, QObject* parent)
    : QObject(parent), window_(window), commands_(std::move(commands))
{
    PopupMenu1 = new QMenu(&window_);
    auto entry = [this](const char* caption, const std::function<void()>& command) {
        QAction* a = PopupMenu1->addAction(QString::fromUtf8(caption));
        connect(a, &QAction::triggered, this, [command] {
            if (command)
                command();
        });
        return a;
    };
    N17 = entry("显示主程序(&S)", commands_.restore);
    N18 = entry("最小化显示(&M)", commands_.minimise);
    N19 = entry("与我们联系(&L)", commands_.contact);
    N20 = entry("访问拓源主页(&V)", commands_.homePage);
    N21 = entry("关于本软件(&A)", commands_.about);
    N22 = PopupMenu1->addSeparator();
    N23 = entry("退 出(&Exit)", commands_.exit);
    N17->setEnabled(false);
}

MainWindowTray::~MainWindowTray() = default;

void MainWindowTray::create()
{
    icon_ = new TantTaskbarIcon(&components_, shell_);
    icon_->SetName("antTaskbarIcon1");
    auto* menu = new QtPopupMenu(&components_, PopupMenu1);
    icon_->BeginLoading();
    icon_->Icon()->SetImage(iconImage(programIcon()));
    icon_->SetVisible(true);
    icon_->SetHint(kProductCaption);
    icon_->SetPopupMenu(menu);
    icon_->OnClick = [this](TComponent*) {
        if (commands_.restore)
            commands_.restore();
    };
    icon_->EndLoading();
}

bool MainWindowTray::canHide() const
{
    return QtTrayShell::notificationAreaAvailable();
}

void MainWindowTray::minimiseToTray()
{
    N18->setEnabled(false);
    N17->setEnabled(true);
    // Hiding the window also takes its taskbar button away.
    window_.hide();
}

void MainWindowTray::restore()
{
    N17->setEnabled(false);
    N18->setEnabled(true);
    // A modal window left open blocks the main window: it comes back with
    // it (also when the window manager minimised it along with its owner),
    // above it and with the focus.
    QWidget* modal = QApplication::activeModalWidget();
    bringToFront(window_, modal ? Focus::Leave : Focus::Take);
    if (modal)
        bringToFront(*modal);
}

} // namespace lt
