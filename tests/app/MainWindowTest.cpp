#include "ui/AppInfo.h"
#include "ui/Boxes.h"
#include "app/MainWindowTray.h"
#include "app/MainWindowView.h"
#include "components/antTaskbarIcon.h"
#include "app/ResultListModel.h"
#include "app/Unit1.h"
#include "WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QHeaderView>
#include <QSplitter>
#include <gtest/gtest.h>

using lt::test::Window;

TEST_F(Window, FirstStartInAnEmptyFolderShowsTheDefaults)
{
    auto f = make();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(f->controls().Memo1->toPlainText(), "http://");
    EXPECT_EQ(f->controls().Memo2->toPlainText(), "#");
    EXPECT_EQ(f->controls().Edit1->text(), "");
    EXPECT_TRUE(f->controls().Edit1->isReadOnly());
    EXPECT_EQ(f->controls().SpinEdit1->value(), 5);
    EXPECT_EQ(f->controls().SpinEdit1->minimum(), 1);
    EXPECT_EQ(f->controls().SpinEdit1->maximum(), 60);
    EXPECT_FALSE(f->controls().CheckBox1->isChecked());
    EXPECT_FALSE(f->controls().CheckBox2->isChecked());
    EXPECT_EQ(panel(*f, 0), "总数：");
    EXPECT_EQ(panel(*f, 1), "");
    EXPECT_EQ(panel(*f, 2), "进程：");
    EXPECT_EQ(panel(*f, 3), "");
    EXPECT_EQ(panel(*f, 4), "链接：");
    EXPECT_EQ(panel(*f, 5), "");
    EXPECT_EQ(panel(*f, 6), QString::fromUtf8(lt::kStatusContact));
    for (QToolButton* b : {f->controls().SpeedButton1, f->controls().SpeedButton2, f->controls().SpeedButton3, f->controls().SpeedButton4})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(f->controls().Timer1->isActive());
    EXPECT_EQ(f->controls().Timer1->interval(), 5000);
    EXPECT_TRUE(f->windowTitle().startsWith(QStringLiteral("『拾链宝 』V2.5  ")));

    QStringList captions, tips;
    for (QToolButton* b : {f->controls().SpeedButton1, f->controls().SpeedButton2, f->controls().SpeedButton3, f->controls().SpeedButton4, f->controls().SpeedButton5,
                           f->controls().SpeedButton6, f->controls().SpeedButton8, f->controls().SpeedButton9, f->controls().SpeedButton10}) {
        captions << b->text();
        tips << b->toolTip();
    }
    EXPECT_EQ(captions.join(','), "网址,搜索,终止,继续,保存,创建,进程,关于,退出");
    EXPECT_EQ(tips.join(','), "选择网址列表,开始链接搜索,终止链接搜索,继续搜索链接,保存搜索结果,创建BBS网址列表,"
                              "保存搜索进程,关于本软件,退出软件系统");
}

TEST_F(Window, OuterSizeAndPlace)
{
    auto f = make();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    QCoreApplication::processEvents();
    EXPECT_EQ(f->frameGeometry().size(), QSize(575, 421));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((f->frameGeometry().center() - centre).manhattanLength(), 1);
}

TEST_F(Window, TheResultListCanBeWidenedAndItsColumnFollows)
{
    auto f = make();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    QCoreApplication::processEvents();
    QTreeView* list = f->controls().ListView1;
    EXPECT_EQ(list->width(), 201);
    EXPECT_EQ(list->header()->sectionSize(0), 175);

    const QString address = QStringLiteral("http://127.0.0.1:19140/ffi/Print.aspx?id=1234567890&page=2");
    f->view().appendItem(address.toStdString());
    QCoreApplication::processEvents();
    const QModelIndex item = list->model()->index(0, 0);
    EXPECT_EQ(item.data(Qt::ToolTipRole).toString(), address); // the whole address, however narrow

    // The user drags the splitter: the list and its column widen together.
    auto* splitter = qobject_cast<QSplitter*>(list->parentWidget());
    ASSERT_NE(splitter, nullptr);
    QList<int> sizes = splitter->sizes();
    splitter->setSizes({sizes[0] + 250, sizes[1] - 250});
    QCoreApplication::processEvents();
    EXPECT_EQ(list->width(), 451);
    EXPECT_EQ(list->header()->sectionSize(0), 425);
    EXPECT_GE(list->header()->sectionSize(0), list->fontMetrics().horizontalAdvance(address));

    // Resizing the window leaves the list as the user set it.
    f->resize(f->width() + 100, f->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(list->width(), 451);
}

TEST_F(Window, StartRemovesTheLeftoversOfAnInterruptedSave)
{
    dir.write("linktrawler.ini", "/data/list.txt\r\n7\r\n20\r\nwebyes\r\n12\r\nfilteryes\r\n");
    dir.write("linktrawler.ini.~ltk3J9xQ", "/data/li");
    dir.write("linktrawlno.ini.~ltZZ0001", "");
    dir.write("notes.txt", "mine");
    auto f = make();
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"linktrawler.ini", "notes.txt"}));
    EXPECT_EQ(f->controls().Edit1->text(), "/data/list.txt");
}

TEST_F(Window, StartWithAProgressFileShowsItsValues)
{
    dir.write("linktrawler.ini", "/data/list.txt\r\n7\r\n20\r\nwebyes\r\n12\r\nfilteryes\r\n");
    dir.write("linktrawlok.ini", "news\r\nhttp://");
    auto f = make();
    EXPECT_EQ(f->controls().Edit1->text(), "/data/list.txt");
    EXPECT_EQ(f->controls().SpinEdit1->value(), 12);
    EXPECT_TRUE(f->controls().CheckBox1->isChecked());
    EXPECT_TRUE(f->controls().CheckBox2->isChecked());
    EXPECT_EQ(f->controls().Memo1->toPlainText(), "news\nhttp://");
    EXPECT_EQ(f->controller().position(), 7);
    EXPECT_EQ(f->controller().total(), 20);
    EXPECT_EQ(panel(*f, 1), ""); // loaded values are not displayed until a command shows them
    EXPECT_EQ(f->view().filterLineCount(lt::FilterList::MustContain), 2);
}

TEST_F(Window, BadProgressFileIsReportedAndTheWindowStillOpens)
{
    dir.write("linktrawler.ini", "/data/list.txt\r\nseven\r\n20\r\n");
    auto f = make();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, lt::BoxKind::Error);
    EXPECT_EQ(boxes[0].caption, QString::fromUtf8(lt::kApplicationTitle));
    EXPECT_EQ(boxes[0].text, "'seven' is not a valid integer value.");
    EXPECT_EQ(f->controls().Edit1->text(), "/data/list.txt");
    // The window works on.
    f->controls().SpeedButton3->click();
    EXPECT_EQ(panel(*f, 6), "终止搜索...");
}

TEST_F(Window, RefusalAndErrorBoxesComeFromTheCommands)
{
    auto f = make();
    f->controls().SpeedButton2->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, lt::BoxKind::Information);
    EXPECT_EQ(boxes[0].caption, "信息");
    EXPECT_EQ(boxes[0].text, "您还没有选择网址列表文件！");
    f->controls().SpeedButton4->click();
    EXPECT_EQ(boxes.back().kind, lt::BoxKind::Plain);
    EXPECT_EQ(boxes.back().caption, QString::fromUtf8(lt::kApplicationTitle));
    f->view().setOpenFileChooser([this](const QString&) { return QString::fromStdString(dir.file("none.txt")); });
    f->controls().SpeedButton1->click();
    EXPECT_EQ(boxes.back().kind, lt::BoxKind::Error);
    EXPECT_EQ(boxes.back().text, "File not found.");
}

TEST_F(Window, CloseAnsweredNoKeepsTheSearchGoingAndYesDeletesTheTemporaryFile)
{
    std::string tmp = dir.write("linktrawler.tmp", "x");
    auto f = make();
    f->show();
    f->controls().Timer1->start();
    answerYes = false;
    f->close();
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->controls().Timer1->isActive());
    EXPECT_EQ(boxes.back().kind, lt::BoxKind::Confirmation);
    EXPECT_EQ(boxes.back().caption, "确认");
    EXPECT_EQ(boxes.back().text, "确认退出拾链宝吗?");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(tmp)));
    answerYes = true;
    f->controls().SpeedButton10->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(tmp)));
}

TEST_F(Window, SaveWritesWhatTheListShows)
{
    auto f = make();
    f->view().appendItem("http://a.example.com/1");
    f->view().appendItem("http://a.example.com/网");
    QCoreApplication::processEvents();
    f->view().appendItem("http://a.example.com/3"); // still pending in the model
    std::string out = dir.file("results.txt");
    f->setSaveFileChooser([&] { return QString::fromStdString(out); });
    f->controls().SpeedButton5->click();
    EXPECT_EQ(lt::test::readFile(out), "http://a.example.com/1\r\nhttp://a.example.com/网\r\nhttp://a.example.com/3\r\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(f->controls().ListView1->model()->rowCount(), 3);
}

TEST_F(Window, IntervalFieldReadsAsTheSpinValue)
{
    auto f = make();
    f->controls().SpinEdit1->setValue(17);
    EXPECT_EQ(f->view().interval(), 17);
    f->view().setInterval(99);
    EXPECT_EQ(f->controls().SpinEdit1->value(), 60);
    f->view().setInterval(-3);
    EXPECT_EQ(f->controls().SpinEdit1->value(), 1);
}

TEST_F(Window, TrayMenuEntriesAndIcon)
{
    auto f = make();
    lt::MainWindowTray& tray = f->tray();
    QStringList captions;
    for (QAction* a : tray.PopupMenu1->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions.join('|'), "显示主程序(&S)|最小化显示(&M)|与我们联系(&L)|访问拓源主页(&V)|关于本软件(&A)|-|退 出(&Exit)");
    EXPECT_FALSE(tray.N17->isEnabled());
    EXPECT_TRUE(tray.N18->isEnabled());
    ASSERT_NE(tray.antTaskbarIcon1(), nullptr);
    EXPECT_TRUE(tray.antTaskbarIcon1()->Visible());
    EXPECT_EQ(tray.antTaskbarIcon1()->Hint(), lt::kProductCaption);
    QSystemTrayIcon* icon = tray.shell().trayIcon(tray.antTaskbarIcon1()->Handle(), 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), QString::fromUtf8(lt::kProductCaption));
    EXPECT_FALSE(icon->icon().isNull());
}

TEST_F(Window, TrayAndShownStatesKeepTheMenuEntriesOpposite)
{
    auto f = make();
    f->show();
    lt::MainWindowTray& tray = f->tray();
    tray.minimiseToTray();
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(tray.N17->isEnabled());
    EXPECT_FALSE(tray.N18->isEnabled());

    // Exit from the tray menu still asks; No leaves the program in the tray.
    answerYes = false;
    tray.N23->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.back().text, "确认退出拾链宝吗?");
    EXPECT_FALSE(f->isVisible());

    tray.N17->trigger();
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(tray.N17->isEnabled());
    EXPECT_TRUE(tray.N18->isEnabled());

    // A click on the icon while shown changes nothing.
    f->N17Click();
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(tray.N17->isEnabled());
}

TEST_F(Window, WithoutANotificationAreaMinimisingIsOrdinary)
{
    if (lt::QtTrayShell::notificationAreaAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    auto f = make();
    f->show();
    f->N18Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->tray().N18->isEnabled());
}
