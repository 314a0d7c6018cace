#include "ui/WindowLook.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPoint screenCentre()
{
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

void showAndWait(QWidget& w)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
}

// Centred on the screen whenever it is shown.
class CentredWhenShown : public QDialog {
protected:
    void showEvent(QShowEvent* event) override
    {
        lt::centreOnScreen(*this);
        QDialog::showEvent(event);
    }
};

} // namespace

// First in this file: it needs a process that has not seen a frame yet.
TEST(WindowLook, AWindowSizedBeforeAnyFrameWasSeen)
{
    CentredWhenShown late; // made at start-up like the BBS window, shown later
    lt::setOuterSize(late, QSize(546, 238), lt::Sizing::Fixed);
    if (!lt::frameOf(late).isNull())
        GTEST_SKIP() << "a frame was seen before this test";
    EXPECT_EQ(late.size(), QSize(546, 238));

    QDialog main;
    lt::setOuterSize(main, QSize(575, 421));
    lt::centreOnScreen(main);
    showAndWait(main);
    ASSERT_FALSE(lt::frameOf(main).isNull()) << "no frame to test with";
    EXPECT_EQ(main.frameGeometry().size(), QSize(575, 421));
    EXPECT_LE((main.frameGeometry().center() - screenCentre()).manhattanLength(), 1);

    // Centred from its first showing on.
    late.winId(); // a modal window gets its native window before it shows
    showAndWait(late);
    EXPECT_EQ(late.frameGeometry().size(), QSize(546, 238));
    EXPECT_LE((late.frameGeometry().center() - screenCentre()).manhattanLength(), 1);
}

TEST(WindowLook, OuterSizesIncludeTheFrameTheWindowManagerReports)
{
    QDialog sizeable;
    lt::setOuterSize(sizeable, QSize(280, 217));
    showAndWait(sizeable);
    ASSERT_FALSE(lt::frameOf(sizeable).isNull()) << "no frame to test with";
    EXPECT_EQ(sizeable.frameGeometry().size(), QSize(280, 217));
    EXPECT_EQ(sizeable.size(), QSize(280, 217).shrunkBy(lt::frameOf(sizeable)));
    // The user may still resize it; the size is not forced back.
    sizeable.resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(sizeable.size(), QSize(400, 300));

    QDialog fixed;
    lt::setOuterSize(fixed, QSize(546, 238), lt::Sizing::Fixed);
    showAndWait(fixed);
    EXPECT_EQ(fixed.frameGeometry().size(), QSize(546, 238));
    EXPECT_EQ(fixed.minimumSize(), fixed.maximumSize());
}

TEST(WindowLook, AWindowNotYetShownTakesTheFrameSeenLast)
{
    QDialog first;
    lt::setOuterSize(first, QSize(300, 200));
    showAndWait(first);
    const QMargins frame = lt::frameOf(first);
    ASSERT_FALSE(frame.isNull()) << "no frame to test with";

    // Right from the start: the size before it is shown, the place at its
    // first showing.
    QDialog next;
    lt::setOuterSize(next, QSize(546, 238), lt::Sizing::Fixed);
    EXPECT_EQ(next.size(), QSize(546, 238).shrunkBy(frame));
    EXPECT_EQ(lt::frameOf(next), frame);
    lt::centreOnScreen(next);
    showAndWait(next);
    EXPECT_EQ(next.frameGeometry().size(), QSize(546, 238));
    EXPECT_LE((next.frameGeometry().center() - screenCentre()).manhattanLength(), 1);
}
