#include "ui/Boxes.h"
#include "components/QtIconImage.h"
#include "components/QtPopupMenu.h"
#include "components/QtTrayShell.h"
#include "components/antTaskbarIcon.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lt;

namespace {

QIcon someIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::blue);
    return QIcon(p);
}

class TrayShellQt : public ::testing::Test {
protected:
    void SetUp() override
    {
        tray = new TantTaskbarIcon(&owner, shell);
        tray->SetName("antTaskbarIcon1");
        tray->OnClick = [this](TComponent*) { log << "click"; };
        tray->OnDblClick = [this](TComponent*) { log << "dblclick"; };
        tray->OnPopupMenu = [this](TComponent*) { log << "popup"; };
        tray->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState, int, int) {
            log << (b == TMouseButton::mbLeft ? "up left" : "up right");
        };
    }
    void TearDown() override { setBoxHook({}); }

    QSystemTrayIcon* shown() { return shell.trayIcon(tray->Handle(), static_cast<std::uint32_t>(tray->IconID())); }

    QtTrayShell shell;
    TComponent owner{nullptr};
    TantTaskbarIcon* tray = nullptr;
    QStringList log;
};

TEST_F(TrayShellQt, AddModifyDeleteAndRefusals)
{
    TIcon icon;
    icon.SetImage(iconImage(someIcon()));
    tray->SetIcon(&icon); // hidden: refused, nothing happens
    EXPECT_EQ(shown(), nullptr);

    tray->SetHint("『拾链宝 』V2.5");
    tray->SetVisible(true);
    ASSERT_NE(shown(), nullptr);
    EXPECT_TRUE(shown()->isVisible());
    EXPECT_EQ(shown()->toolTip(), QString::fromUtf8("『拾链宝 』V2.5"));
    EXPECT_FALSE(shown()->icon().isNull());

    tray->SetHint("other");
    EXPECT_EQ(shown()->toolTip(), "other");

    NotifyIconData again = tray->IconData();
    EXPECT_FALSE(shell.ShellNotifyIcon(NIM_ADD, again)); // already there
    NotifyIconData stranger = again;
    stranger.uID = 42;
    EXPECT_FALSE(shell.ShellNotifyIcon(NIM_MODIFY, stranger));
    EXPECT_FALSE(shell.ShellNotifyIcon(NIM_DELETE, stranger));

    tray->SetVisible(false);
    EXPECT_EQ(shown(), nullptr);
}

TEST_F(TrayShellQt, ActivationsBecomeMouseMessageSequences)
{
    tray->SetVisible(true);
    ASSERT_NE(shown(), nullptr);
    emit shown()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(log, (QStringList{"up left", "click"}));

    // A double click arrives as a trigger followed by a double click.
    log.clear();
    emit shown()->activated(QSystemTrayIcon::Trigger);
    emit shown()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(log, (QStringList{"up left", "click", "dblclick", "up left"}));

    // One without the trigger before it brings its own first click.
    log.clear();
    emit shown()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(log, (QStringList{"up left", "click", "dblclick", "up left"}));

    log.clear();
    emit shown()->activated(QSystemTrayIcon::MiddleClick);
    emit shown()->activated(QSystemTrayIcon::Context); // no menu set
    EXPECT_EQ(log, (QStringList{"up right"}));
}

TEST_F(TrayShellQt, ContextShowsTheMenuUntilItCloses)
{
    QMenu menu;
    menu.addAction("entry");
    auto* popup = new QtPopupMenu(&owner, &menu);
    tray->SetPopupMenu(popup);
    tray->SetVisible(true);
    QTimer::singleShot(50, &menu, &QMenu::close);
    emit shown()->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(log, (QStringList{"popup", "up right"}));
    QApplication::processEvents(); // the posted null message is harmless
}

TEST_F(TrayShellQt, HandlerErrorsStopAtTheErrorBox)
{
    QStringList boxes;
    setBoxHook([&](const BoxRequest& r) {
        boxes << r.text;
        return BoxAnswer{};
    });
    tray->OnClick = [](TComponent*) { throw Error("restore failed"); };
    tray->SetVisible(true);
    emit shown()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(boxes, QStringList{"restore failed."});
}

TEST_F(TrayShellQt, IconWithoutPictureFailsAsTheComponentsError)
{
    TIcon empty;
    empty.SetImage(iconImage(QIcon()));
    try {
        tray->SetIcon(&empty);
        ADD_FAILURE();
    } catch (const EantTaskbarIcon& e) {
        EXPECT_STREQ(e.what(), "antTaskbarIcon1.UpDate failed");
    }
}

} // namespace
