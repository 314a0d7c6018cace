// The main window's life with the notification area: what ends the program,
// and what still answers while a modal window runs.
#include "WindowFixture.h"
#include "app/MainWindowTray.h"
#include "app/about/Unit4.h"
#include "bbs/bbskit.h"
#include "components/QtTrayShell.h"
#include "components/antTaskbarIcon.h"
#include "support/WhenModal.h"
#include "ui/Boxes.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using lt::test::whenModal;
using lt::test::Window;

namespace {

// Counts the application's quit requests and keeps them from ending the test.
struct QuitWatch : QObject {
    int quits = 0;
    QuitWatch() { qApp->installEventFilter(this); }
    ~QuitWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == qApp && e->type() == QEvent::Quit) {
            ++quits;
            return true;
        }
        return false;
    }
};

// Whether a window has been blocked by a modal window, and is now.
struct BlockWatch : QObject {
    bool blocked = false;
    bool everBlocked = false;
    explicit BlockWatch(QWidget& w) { w.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::WindowBlocked)
            blocked = everBlocked = true;
        else if (e->type() == QEvent::WindowUnblocked)
            blocked = false;
        return false;
    }
};

// Runs body inside the application's own loop, as the program runs.
void inApplicationLoop(const std::function<void()>& body)
{
    QTimer::singleShot(0, qApp, [body] {
        body();
        QApplication::exit(0);
    });
    QApplication::exec();
}

// Whether open brought up a modal window of type T that blocked the main
// window; the window is closed again.
template <typename T>
bool modalOverTheMainWindow(const BlockWatch& main, const std::function<void()>& open)
{
    bool came = false;
    whenModal<T>([&](T* w) {
        came = true;
        EXPECT_TRUE(main.blocked);
        w->reject();
    });
    open();
    (void)QTest::qWaitFor([&] { return came && !QApplication::activeModalWidget(); });
    return came;
}

QSystemTrayIcon* trayIcon(TForm1& f)
{
    lt::MainWindowTray& tray = f.tray();
    return tray.shell().trayIcon(tray.antTaskbarIcon1()->Handle(), 0);
}

} // namespace

TEST_F(Window, OnlyTheConfirmedCloseEndsTheProgram)
{
    const std::string tmp = dir.write("linktrawler.tmp", "x");
    auto f = make();
    TForm2 about;
    TbbsForm bbs;
    f->setAuxiliaryWindows(&about, &bbs);
    f->show();
    f->controls().Timer1->start(); // a search runs
    QuitWatch watch;

    inApplicationLoop([&] {
        f->tray().minimiseToTray();
        whenModal<TForm2>([](TForm2* a) { a->OKButton->click(); });
        f->N15Click();
        whenModal<TbbsForm>([](TbbsForm* b) { b->close(); });
        f->N28Click();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(watch.quits, 0);
    EXPECT_TRUE(f->controls().Timer1->isActive());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(tmp)));

    // Exit still asks; yes ends the program.
    answerYes = true;
    inApplicationLoop([&] {
        f->tray().N23->trigger();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(boxes.back().text, "确认退出拾链宝吗?");
    EXPECT_GE(watch.quits, 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(tmp)));
}

TEST_F(Window, TheTrayIconAnswersWhileAModalWindowRuns)
{
    auto f = make();
    TForm2 about;
    TbbsForm bbs;
    f->setAuxiliaryWindows(&about, &bbs);
    f->show();
    f->tray().minimiseToTray();
    ASSERT_NE(trayIcon(*f), nullptr);

    // On X11 the icon is a top-level window of its own, like this one.
    QWidget iconWindow;
    iconWindow.show();
    BlockWatch icon(iconWindow), main(*f), bbsWindow(bbs);

    bool menuShown = false;
    whenModal<TbbsForm>([&](TbbsForm* b) {
        EXPECT_TRUE(main.blocked);
        EXPECT_FALSE(icon.everBlocked);
        // The window manager minimised the BBS window along with its owner.
        b->showMinimized();

        emit trayIcon(*f)->activated(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->tray().N18->isEnabled());
        // Back with the main window, since the main window waits for it.
        EXPECT_TRUE(b->isVisible());
        EXPECT_FALSE(b->isMinimized());
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), b);

        // The menu comes up too, and from it the About box opens over the
        // BBS window, which then waits in turn.
        QTimer::singleShot(50, [&] {
            menuShown = f->tray().PopupMenu1->isVisible();
            f->tray().PopupMenu1->close();
        });
        emit trayIcon(*f)->activated(QSystemTrayIcon::Context);
        whenModal<TForm2>([&](TForm2* a) {
            EXPECT_TRUE(bbsWindow.blocked);
            a->close();
        });
        f->tray().N21->trigger();
        EXPECT_FALSE(icon.everBlocked);
        b->close();
    });
    f->N28Click();
    EXPECT_TRUE(menuShown);
    EXPECT_FALSE(main.blocked);
    EXPECT_FALSE(icon.everBlocked);
}

TEST_F(Window, BoxesAndFileDialogsLeaveTheTrayIconFree)
{
    auto f = make();
    f->show();
    QWidget iconWindow;
    iconWindow.show();
    BlockWatch icon(iconWindow), main(*f);

    // A real box, opened from the tray with the main window hidden.
    lt::setBoxHook({});
    f->tray().minimiseToTray();
    EXPECT_TRUE(modalOverTheMainWindow<QMessageBox>(main, [&] { f->tray().N23->trigger(); }));
    EXPECT_FALSE(f->isVisible()); // "否": still in the tray

    // The save dialog of the results.
    f->tray().restore();
    EXPECT_TRUE(modalOverTheMainWindow<QFileDialog>(main, [&] { f->controls().SpeedButton5->click(); }));
    EXPECT_FALSE(icon.everBlocked);
}
