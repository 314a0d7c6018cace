#include "support/WhenModal.h"
#include "ui/AppInfo.h"
#include "ui/Boxes.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <gtest/gtest.h>

using lt::test::whenModal;

namespace {

// The width of the box each call shows, taken while it is up.
template <typename Box>
int widthOfBox(const std::function<void()>& show)
{
    int width = 0;
    whenModal<Box>([&](Box* b) {
        width = b->frameGeometry().width();
        b->reject();
    });
    show();
    return width;
}

int boldWidth(const QString& text)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(text);
}

} // namespace

TEST(Boxes, AreWideEnoughForTheirCaption)
{
    const QString title = QString::fromUtf8(lt::kApplicationTitle);
    // Beside the caption a title bar holds at least an icon and a close button.
    EXPECT_GE(lt::widthForCaption(title), boldWidth(title) + 2 * 16);
    EXPECT_GT(lt::widthForCaption(title + title), lt::widthForCaption(title));

    const QString shortText = QStringLiteral("x");
    EXPECT_GE(widthOfBox<QMessageBox>([&] { lt::plainMessageBox(nullptr, shortText); }), lt::widthForCaption(title));
    EXPECT_GE(widthOfBox<QMessageBox>([&] { lt::errorBox(nullptr, shortText); }), lt::widthForCaption(title));
    EXPECT_GE(widthOfBox<QMessageBox>([&] { lt::informationBox(nullptr, shortText); }),
              lt::widthForCaption(QStringLiteral("信息")));
    EXPECT_GE(widthOfBox<QMessageBox>([&] { lt::confirmationBox(nullptr, shortText); }),
              lt::widthForCaption(QStringLiteral("确认")));
    const QString caption = QStringLiteral("继续搜索链接 — 从第几行开始继续搜索");
    EXPECT_GE(widthOfBox<QDialog>([&] { lt::inputDialog(nullptr, caption, shortText, {}); }),
              lt::widthForCaption(caption));

    // A long text still makes the box as wide as the text needs.
    const QString longText(200, QLatin1Char('w'));
    EXPECT_GT(widthOfBox<QMessageBox>([&] { lt::plainMessageBox(nullptr, longText); }),
              lt::widthForCaption(title) + 100);
}
