// A whole search through the real window and the real engine, over pages
// served on 127.0.0.1.
#include "HttpTestServer.h"
#include "ui/Boxes.h"
#include "app/MainWindowView.h"
#include "app/ResultListModel.h"
#include "app/Unit1.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/WebEngineBrowserHost.h"
#include "support/TempDir.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using lt::test::HttpTestServer;
using lt::test::TempDir;

namespace {
std::string commands(TForm1& f)
{
    std::string s;
    for (QToolButton* b : {f.controls().SpeedButton1, f.controls().SpeedButton2, f.controls().SpeedButton3, f.controls().SpeedButton4})
        s += b->isEnabled() ? '1' : '0';
    return s;
}

// A window that searches on the real engine: connected, without pauses, its
// files in folder.
TForm1::Services searchServices(const std::string& folder)
{
    TForm1::Services s;
    s.networkCheck = [] { return std::string("192.0.2.1"); };
    s.pause = [](int) {};
    s.programFolder = folder;
    return s;
}

// Whether the window's search comes to its end within a minute.
bool finishes(TForm1& form)
{
    return QTest::qWaitFor([&] { return form.controls().StatusBar1[6]->text() == "搜索已经结束!"; }, 60000);
}
} // namespace

TEST(WindowSearch, ThreePagesFromChooseListToFinish)
{
    TempDir dir;
    HttpTestServer server;
    server.serveHtml("/1", "<a href='/a'>a</a><a href='/b'>b</a><a href='https://x/'>s</a>");
    server.serveHtml("/2", "<a href='/a'>a</a><a href='/A'>A</a><a href='/c#top'>c</a>");
    server.serveHtml("/3", "<p>no links</p>");
    std::string list = dir.write("list.txt", server.url("/1") + "\r\n" + server.url("/2") + " note\r\n" +
                                                 server.url("/3") + "\r\n");

    std::vector<lt::BoxRequest> boxes;
    lt::setBoxHook([&](const lt::BoxRequest& r) {
        boxes.push_back(r);
        lt::BoxAnswer a;
        a.accepted = r.kind != lt::BoxKind::Confirmation; // "No" to closing
        return a;
    });

    lt::EngineProfile profile(QString::fromStdString(dir.path() + "engine"));
    {
        TForm1::Services s = searchServices(dir.path());
        int cleans = 0;
        s.cleanCache = [&] { ++cleans; };
        TForm1 form(s);
        lt::WebEngineBrowserHost host(*form.webBrowser(), profile);
        form.bindBrowserHost(&host);
        form.show();

        form.view().setOpenFileChooser([&](const QString& folder) {
            EXPECT_EQ(folder.toStdString(), dir.path());
            return QString::fromStdString(list);
        });
        form.controls().SpeedButton1->click();
        EXPECT_EQ(form.controls().StatusBar1[1]->text(), "3");
        form.controls().SpinEdit1->setValue(1);

        form.controls().SpeedButton2->click();
        EXPECT_EQ(cleans, 1);
        EXPECT_EQ(commands(form), "0010");
        EXPECT_EQ(form.controls().StatusBar1[3]->text(), "1");
        EXPECT_EQ(form.controls().StatusBar1[6]->text(), "正在搜索...");
        EXPECT_TRUE(form.controls().Timer1->isActive());

        // Closing answered No leaves the search running.
        form.close();
        EXPECT_TRUE(form.isVisible());

        ASSERT_TRUE(finishes(form));
        EXPECT_EQ(commands(form), "1101");
        EXPECT_FALSE(form.controls().Timer1->isActive());
        EXPECT_EQ(form.controls().StatusBar1[3]->text(), "3");
        // "/A" repeats "/a" on its page with letter case ignored.
        EXPECT_EQ(form.results().captions().join(' ').toStdString(),
                  server.url("/a") + " " + server.url("/b") + " " + server.url("/a") + " " + server.url("/c#top"));
        EXPECT_EQ(form.controls().StatusBar1[5]->text(), "4");
        EXPECT_EQ(lt::test::readFile(dir.file("linktrawler.ini")),
                  list + "\r\n3\r\n3\r\nwebno\r\n1\r\nfilterno\r\n");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, lt::BoxKind::Confirmation);
        form.bindBrowserHost(nullptr);
    }
    lt::setBoxHook({});
}

TEST(WindowSearch, AListInAFolderWhoseNameIsNotUtf8IsContinuedAfterARestart)
{
    TempDir dir;
    HttpTestServer server;
    server.serveHtml("/1", "<a href='/from-1'>1</a>");
    server.serveHtml("/2", "<a href='/from-2'>2</a>");
    // Folder "网址" named in GB2312, as a disk from the original platform has it.
    const std::string folder = dir.path() + "\xcd\xf8\xd6\xb7";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string list = folder + "/list.txt";
    {
        std::ofstream out(list, std::ios::binary);
        out << server.url("/1") << "\r\n" << server.url("/2") << "\r\n";
    }

    std::vector<lt::BoxRequest> boxes;
    lt::setBoxHook([&](const lt::BoxRequest& r) {
        boxes.push_back(r);
        lt::BoxAnswer a;
        a.accepted = r.kind != lt::BoxKind::Confirmation;
        a.text = "1";
        return a;
    });
    lt::EngineProfile profile(QString::fromStdString(dir.path() + "engine"));
    const TForm1::Services s = searchServices(dir.path());
    {
        TForm1 form(s);
        lt::WebEngineBrowserHost host(*form.webBrowser(), profile);
        form.bindBrowserHost(&host);
        // The dialog answers in Qt's reading of the name, with U+FFFD for
        // the bytes that are not UTF-8.
        form.view().setOpenFileChooser([&](const QString&) { return QFile::decodeName(QByteArray::fromStdString(list)); });
        form.controls().SpeedButton1->click();
        EXPECT_EQ(form.controls().Edit1->text(), QString::fromStdString(dir.path()) + "网址/list.txt");
        EXPECT_EQ(form.controls().StatusBar1[1]->text(), "2");
        form.controls().SpinEdit1->setValue(1);
        form.controls().SpeedButton2->click();
        ASSERT_TRUE(finishes(form));
        EXPECT_EQ(form.results().captions().join(' ').toStdString(), server.url("/from-1") + " " + server.url("/from-2"));
        form.bindBrowserHost(nullptr);
    }
    EXPECT_EQ(lt::test::readFile(dir.file("linktrawler.ini")), list + "\r\n2\r\n2\r\nwebno\r\n1\r\nfilterno\r\n");
    {
        // The next run restores the list and continues it after line 1.
        TForm1 form(s);
        lt::WebEngineBrowserHost host(*form.webBrowser(), profile);
        form.bindBrowserHost(&host);
        EXPECT_EQ(form.controls().Edit1->text(), QString::fromStdString(dir.path()) + "网址/list.txt");
        form.controls().SpeedButton4->click();
        ASSERT_TRUE(finishes(form));
        EXPECT_EQ(form.results().captions().join(' ').toStdString(), server.url("/from-2"));
        form.bindBrowserHost(nullptr);
    }
    for (const auto& b : boxes)
        EXPECT_NE(b.text, "网址列表文件不存在！");
    EXPECT_EQ(server.requestCount("/2"), 2);
    lt::setBoxHook({});
}

TEST(WindowSearch, ResultsSavedWithSaveAndSearchedAgainLoadTheSamePages)
{
    TempDir dir;
    HttpTestServer server;
    const std::string port = std::to_string(server.port());
    server.serveHtml("/links.html", "<a href='/k-na-中文'>1</a><a href='/s?q=中文'>2</a><a href='/a b'>3</a>"
                                    "<a href='/p%2Fq'>4</a><a href='/Été'>5</a>"
                                    "<a href='http://中文.example:" + port + "/路径?查询=值'>6</a>");
    HttpTestServer::Response gbk;
    gbk.contentType = "text/html; charset=gb2312";
    gbk.body = "<a href='/s?q=\xd6\xd0\xce\xc4'>gb</a>"; // "中文" in GB2312
    server.serve("/gbk.html", gbk);
    const std::string list = dir.write("list.txt", server.url("/links.html") + "\r\n" + server.url("/gbk.html") + "\r\n");
    const std::string saved = dir.file("saved.txt");

    lt::setBoxHook([](const lt::BoxRequest&) { return lt::BoxAnswer{}; });
    lt::EngineProfile profile(QString::fromStdString(dir.path() + "engine"));
    {
        TForm1 form(searchServices(dir.path()));
        lt::WebEngineBrowserHost host(*form.webBrowser(), profile);
        form.bindBrowserHost(&host);
        form.controls().SpinEdit1->setValue(1);
        auto search = [&](const std::string& path) {
            form.view().setOpenFileChooser([&](const QString&) { return QString::fromStdString(path); });
            form.controls().SpeedButton1->click();
            form.controls().SpeedButton2->click();
            return finishes(form);
        };
        ASSERT_TRUE(search(list));
        const std::vector<std::string> shown = {
            server.url("/k-na-中文"), server.url("/s?q=中文"), server.url("/a%20b"), server.url("/p%2Fq"),
            server.url("/Été"), "http://中文.example:" + port + "/路径?查询=值", server.url("/s?q=%D6%D0%CE%C4")};
        std::string captions, file;
        for (const std::string& link : shown) {
            captions += link + " ";
            file += link + "\r\n";
        }
        EXPECT_EQ(form.results().captions().join(' ').toStdString() + " ", captions);

        form.setSaveFileChooser([&] { return std::optional<QString>(QString::fromStdString(saved)); });
        form.controls().SpeedButton5->click();
        EXPECT_EQ(lt::test::readFile(saved), file);

        ASSERT_TRUE(search(saved));
        form.bindBrowserHost(nullptr);
    }
    // Each saved link loaded the page the engine's own link named.
    for (const char* target : {"/k-na-%E4%B8%AD%E6%96%87", "/s?q=%E4%B8%AD%E6%96%87", "/a%20b", "/p%2Fq", "/%C3%89t%C3%A9",
                               "/%E8%B7%AF%E5%BE%84?%E6%9F%A5%E8%AF%A2=%E5%80%BC", "/s?q=%D6%D0%CE%C4"})
        EXPECT_EQ(server.requestCount(target), 1) << target;
    lt::setBoxHook({});
}
