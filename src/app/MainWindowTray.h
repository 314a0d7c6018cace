#pragma once
#include "components/Component.h"
#include "components/QtTrayShell.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace lt {
class TantTaskbarIcon;

// The main window's life in the notification area: the tray icon
// antTaskbarIcon1 with its menu PopupMenu1, and the two window states
// (shown, in the tray) whose menu entries are always opposite.
class MainWindowTray : public QObject {
    Q_OBJECT
public:
    struct Commands {
        std::function<void()> restore;     // N17Click
        std::function<void()> minimise;    // N18Click
        std::function<void()> contact;     // N14Click
        std::function<void()> homePage;    // N20Click
        std::function<void()> about;       // N15Click
        std::function<void()> exit;        // N23Click
    };

    MainWindowTray(QWidget& window, Commands commands, QObject* parent = nullptr);
    ~MainWindowTray() override;

    // Sets up the icon as the window's stored definition does; raises
    // EantTaskbarIcon when the shell cannot take it.
    void create();

    // Whether minimising goes to the tray; without a notification area the
    // window minimises as usual, or it could not be brought back.
    bool canHide() const;

    void minimiseToTray();
    void restore();

    TantTaskbarIcon* antTaskbarIcon1() const { return icon_; }
    QtTrayShell& shell() { return shell_; }

    QMenu* PopupMenu1 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N19 = nullptr;
    QAction* N20 = nullptr;
    QAction* N21 = nullptr;
    QAction* N22 = nullptr;
    QAction* N23 = nullptr;

private:
    QWidget& window_;
    Commands commands_;
    // Declared so: the shell outlives the components it serves.
    QtTrayShell shell_;
    TComponent components_ {nullptr};
    TantTaskbarIcon* icon_ = nullptr;
};

} // namespace lt
