#include "support/UrlCatcher.h"
#include "components/cwHyperLink.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CountingLink : public TcwHyperLink {
public:
    using TcwHyperLink::TcwHyperLink;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        TcwHyperLink::paintEvent(e);
    }
};

void send(QWidget* w, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF at(2, 2);
    QMouseEvent e(type, at, w->mapToGlobal(at), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

QSize captionSize(const TcwHyperLink& l)
{
    const QFontMetrics fm(l.CanvasFont());
    return {fm.horizontalAdvance(l.Caption()) + 6, fm.height() + 2};
}

TEST(HyperLink, StartsAsABlueBoldUnderlinedLink)
{
    TcwHyperLink l;
    EXPECT_EQ(l.URL(), QString::fromLatin1(TcwHyperLink::kDefaultURL));
    EXPECT_EQ(l.Caption(), l.URL());
    EXPECT_EQ(l.RestColor(), TcwHyperLink::clBlue);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clBlue);
    EXPECT_TRUE(l.CanvasFont().bold());
    EXPECT_TRUE(l.CanvasFont().underline());
    EXPECT_EQ(l.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(l.Color(), l.palette().color(QPalette::Button));
    EXPECT_EQ(l.focusPolicy(), Qt::NoFocus);
}

TEST(HyperLink, SizesItselfToItsCaptionWhenDrawn)
{
    QWidget parent;
    auto* l = new CountingLink(&parent);
    l->setGeometry(0, 0, 300, 40); // a stored size that does not fit the caption
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QApplication::processEvents();
    EXPECT_EQ(l->size(), captionSize(*l));

    // Unchanged values do nothing; the address never repaints.
    QApplication::processEvents();
    l->paints = 0;
    l->SetCaption(l->Caption());
    l->SetColor(l->Color());
    l->SetFontName(QString()); // a new link's stored name is empty
    l->SetURL(QStringLiteral("http://www.example.com/other"));
    QApplication::processEvents();
    EXPECT_EQ(l->paints, 0);
    EXPECT_EQ(l->CanvasFont().family(), l->font().family());

    l->SetCaption(QStringLiteral("x"));
    QApplication::processEvents();
    EXPECT_GE(l->paints, 1);
    EXPECT_EQ(l->size(), captionSize(*l));

    l->paints = 0;
    l->SetColor(QColor(1, 2, 3));
    QApplication::processEvents();
    EXPECT_GE(l->paints, 1);
}

TEST(HyperLink, PressOpensTheAddressAndTurnsTheRestColourFuchsia)
{
    UrlCatcher urls;
    TcwHyperLink l;
    l.SetURL(QStringLiteral("http://www.example.com/a"));
    enter(&l);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clRed);
    send(&l, QEvent::MouseButtonPress);
    EXPECT_EQ(urls.opened, QStringList{"http://www.example.com/a"}); // before the release
    EXPECT_EQ(l.RestColor(), TcwHyperLink::clFuchsia);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clRed); // shows only when the pointer leaves
    send(&l, QEvent::MouseButtonRelease);
    leave(&l);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clFuchsia);
    enter(&l);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clRed);
    leave(&l);
    EXPECT_EQ(l.TextColor(), TcwHyperLink::clFuchsia);
}

TEST(HyperLink, DoubleClickOpensOnceAndOtherButtonsNothing)
{
    UrlCatcher urls;
    TcwHyperLink l;
    send(&l, QEvent::MouseButtonPress, Qt::RightButton);
    send(&l, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_TRUE(urls.opened.isEmpty());
    EXPECT_EQ(l.RestColor(), TcwHyperLink::clBlue);

    send(&l, QEvent::MouseButtonPress);
    send(&l, QEvent::MouseButtonRelease);
    send(&l, QEvent::MouseButtonDblClick);
    send(&l, QEvent::MouseButtonRelease);
    EXPECT_EQ(urls.opened.size(), 1);
}

TEST(HyperLink, DesignModeOpensNothing)
{
    UrlCatcher urls;
    TcwHyperLink l;
    l.SetDesignMode(true);
    send(&l, QEvent::MouseButtonPress);
    EXPECT_TRUE(urls.opened.isEmpty());
    EXPECT_EQ(l.RestColor(), TcwHyperLink::clBlue);
}

TEST(HyperLink, MailAddressIsPassedUnchanged)
{
    UrlCatcher urls;
    TcwHyperLink l;
    l.SetURL(QStringLiteral("mailto:someone@example.com"));
    send(&l, QEvent::MouseButtonPress);
    EXPECT_EQ(urls.opened, QStringList{"mailto:someone@example.com"});
}

} // namespace
