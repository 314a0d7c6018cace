#include "support/UrlCatcher.h"
#include "ui/AppInfo.h"
#include "app/about/BevelPanel.h"
#include "app/about/JpegPicture.h"
#include "app/about/Unit4.h"
#include "components/cwHyperLink.h"
#include "base/Error.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(AboutBox, WindowAndLayout)
{
    TForm2 form;
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("关于本软件"));
    const Qt::WindowFlags f = form.windowFlags();
    EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_FALSE(form.isVisible());

    EXPECT_EQ(form.ProgramIcon->geometry(), QRect(20, 8, 66, 46));
    EXPECT_EQ(form.Image1->geometry(), QRect(20, 64, 188, 18));
    EXPECT_EQ(form.ProductName->text(), QString::fromUtf8("拾链宝"));
    EXPECT_EQ(form.ProductName->pos(), QPoint(104, 16));
    EXPECT_TRUE(form.ProductName->font().bold());
    EXPECT_EQ(form.ProductName->font().pixelSize(), 12);
    EXPECT_EQ(form.Version->text(), QStringLiteral("Ver 2.5"));
    EXPECT_EQ(form.Version->pos(), QPoint(208, 14));
    EXPECT_EQ(form.Version->font().pixelSize(), 13);

    EXPECT_EQ(form.cwHyperLink1->pos(), QPoint(16, 88));
    EXPECT_EQ(form.cwHyperLink3->pos(), QPoint(16, 108));
    EXPECT_EQ(form.cwHyperLink2->pos(), QPoint(16, 130));
    EXPECT_EQ(form.cwHyperLink1->URL(), form.cwHyperLink1->Caption());
    EXPECT_NE(form.cwHyperLink3->URL(), form.cwHyperLink3->Caption());
    EXPECT_TRUE(form.cwHyperLink2->Caption().startsWith("QQ:"));
    EXPECT_TRUE(form.cwHyperLink2->Caption().contains("  TEL:"));
    EXPECT_TRUE(form.cwHyperLink2->URL().startsWith("mailto:"));
    for (auto* l : {form.cwHyperLink1, form.cwHyperLink2, form.cwHyperLink3})
        EXPECT_TRUE(l->URL().contains("example.")) << l->URL().toStdString();

    EXPECT_EQ(form.OKButton->text(), QString::fromUtf8("确 定"));
    EXPECT_EQ(form.OKButton->geometry(), QRect(207, 156, 50, 25));
    EXPECT_TRUE(form.OKButton->isDefault());
    EXPECT_EQ(form.OKButton->parentWidget(), &form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry().size(), QSize(280, 217));
    EXPECT_EQ(form.Panel1->geometry(), form.rect());
    form.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(form.Panel1->geometry(), form.rect());
    EXPECT_EQ(form.OKButton->geometry(), QRect(207, 156, 50, 25));

    // The OK button is the only control that takes the focus.
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w != form.OKButton) {
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->metaObject()->className();
        }
    }
}

TEST(AboutBox, PicturesAreDecodedFromTheBuiltInJpegs)
{
    TForm2 form;
    const QImage logo = form.ProgramIcon->pixmap().toImage();
    const QImage banner = form.Image1->pixmap().toImage();
    EXPECT_EQ(logo.size(), QSize(66, 46));
    EXPECT_EQ(banner.size(), QSize(188, 18));
    // Not blank: the banner has its blue ground and white text.
    EXPECT_LT(qRed(banner.pixel(2, 2)), 80);
    EXPECT_GT(qBlue(banner.pixel(2, 2)), 120);
}

TEST(AboutBox, EnterAndTheCloseBoxCloseIt)
{
    TForm2 form;
    for (int round = 0; round < 2; ++round) {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        EXPECT_EQ(form.cwHyperLink1->Caption(), QString::fromUtf8(lt::kHomePage));
        QTest::keyClick(&form, Qt::Key_Return);
        EXPECT_FALSE(form.isVisible()) << "round " << round;
    }
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
}

TEST(AboutBox, ModalShowingEndsWithTheOkButton)
{
    TForm2 form;
    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.isModal());
        form.OKButton->click();
    });
    form.exec();
    EXPECT_FALSE(form.isVisible());
    // A second showing is the same box with the same content.
    QTimer::singleShot(0, &form, [&] { form.OKButton->click(); });
    form.exec();
    EXPECT_EQ(form.cwHyperLink2->Caption(), QString::fromUtf8(lt::kContactLine));
}

TEST(AboutBox, LinksOpenTheirAddresses)
{
    UrlCatcher urls;
    TForm2 form;
    for (auto* l : {form.cwHyperLink1, form.cwHyperLink3, form.cwHyperLink2})
        QTest::mousePress(l, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(urls.opened, (QStringList{QString::fromUtf8(lt::kHomePage), QString::fromUtf8(lt::kSecondPage),
                                        QString::fromUtf8(lt::kContactMail)}));
}

// Not a check: LT_SHOT_DIR=<folder> saves a picture of the box for the eye.
TEST(AboutBox, Screenshot)
{
    const QString dir = qEnvironmentVariable("LT_SHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "LT_SHOT_DIR not set";
    TForm2 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(50);
    EXPECT_TRUE(form.grab().save(QDir(dir).filePath("about.png")));
}

TEST(JpegPicture, DamagedDataRaisesInsteadOfEndingTheProcess)
{
    EXPECT_THROW(lt::decodeJpeg(QByteArray()), lt::Error);
    EXPECT_THROW(lt::decodeJpeg(QByteArray("not a picture at all")), lt::Error);
    QFile f(QStringLiteral(":/about/logo.jpg"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray cut = f.readAll();
    cut.truncate(cut.size() / 3);
    // A truncated file is tolerated by libjpeg (grey rest) or rejected; never a crash.
    try {
        EXPECT_EQ(lt::decodeJpeg(cut).size(), QSize(66, 46));
    } catch (const lt::Error&) {
    }
    try {
        lt::loadJpeg(QStringLiteral("/nonexistent/x.jpg"));
        ADD_FAILURE();
    } catch (const lt::Error& e) {
        EXPECT_STREQ(e.what(), "Cannot open file /nonexistent/x.jpg");
    }
}

} // namespace
