#include "ui/Boxes.h"
#include "ui/ModalWindows.h"
#include "bbs/bbskit.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "support/WhenModal.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using lt::test::readFile;
using lt::test::TempDir;
using lt::test::whenModal;

namespace {

// Records the boxes the window shows instead of showing them.
class BoxRecorder {
public:
    BoxRecorder()
    {
        lt::setBoxHook([this](const lt::BoxRequest& r) {
            boxes.push_back(r);
            return lt::BoxAnswer{};
        });
    }
    ~BoxRecorder() { lt::setBoxHook({}); }
    std::vector<lt::BoxRequest> boxes;
};

struct Form {
    TbbsForm form;
    int dialogs = 0;
    std::optional<QString> answer;

    Form()
    {
        form.chooseFile = [this] {
            ++dialogs;
            return answer;
        };
    }
};

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

TEST(TbbsForm, WindowAndLayout)
{
    TbbsForm f;
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("生成BBS页面地址列表"));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(f.font().pixelSize(), 12);

    // With the font in use, every control fits the window and none covers another.
    const QList<QWidget*> controls = f.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : controls) {
        if (a->isWindow())
            continue;
        const QString text = a->property("text").toString();
        EXPECT_TRUE(f.rect().contains(a->geometry())) << text.toStdString();
        for (QWidget* b : controls)
            if (a < b && !b->isWindow() && a->geometry().intersects(b->geometry()))
                ADD_FAILURE() << text.toStdString() << " overlaps " << b->property("text").toString().toStdString();
    }

    QLineEdit* const order[] = {f.Edit1, f.Edit2, f.Edit3, f.Edit4,  f.Edit5,  f.Edit6,
                                f.Edit7, f.Edit8, f.Edit9, f.Edit10, f.Edit11, f.Edit12};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus || !f.isAncestorOf(next) || next->window() != &f)
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << "after Edit" << i + 1;
    }
}

// The window as the user meets it: where it opens, where typing starts,
// how Tab goes on, and that only the close box closes it.
TEST(TbbsForm, OpensCentredWithTheFocusOnTheFirstField)
{
    TbbsForm f;
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (int opening = 0; opening < 2; ++opening) {
        whenModal<TbbsForm>([&](TbbsForm* w) {
            EXPECT_EQ(w->frameGeometry().size(), QSize(546, 238)) << "opening " << opening;
            EXPECT_LE((w->frameGeometry().center() - centre).manhattanLength(), 1) << "opening " << opening;
            EXPECT_EQ(w->focusWidget(), w->Edit1) << "opening " << opening;

            QLineEdit* const order[] = {w->Edit1, w->Edit2, w->Edit3,  w->Edit4,  w->Edit5,  w->Edit6,
                                        w->Edit7, w->Edit8, w->Edit9, w->Edit10, w->Edit11, w->Edit12};
            for (std::size_t i = 1; i < std::size(order); ++i) {
                QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
                EXPECT_EQ(w->focusWidget(), order[i]) << "Tab number " << i;
            }

            QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
            EXPECT_TRUE(w->isVisible()) << "Escape closed it";
            w->close();
        });
        lt::execModal(f);
        f.Edit7->setFocus(); // the last field used is not where the next opening starts
    }
}

TEST(TbbsForm, GeneratesThroughTheButtons)
{
    TempDir dir;
    BoxRecorder boxes;
    Form t;
    TbbsForm& f = t.form;

    // Cancelled: nothing happens.
    f.Edit3->setText("3");
    f.SpeedButton1->click();
    f.SpeedButton2->click();
    EXPECT_EQ(t.dialogs, 2);
    EXPECT_EQ(f.Label2->text(), "");

    t.answer = q(dir.file("list.txt"));
    f.Edit1->setText("list-");
    f.Edit4->setText(".htm");
    f.Edit12->setText("20");
    f.Edit2->setText("1");
    f.SpeedButton1->click();
    EXPECT_EQ(readFile(dir.file("list.txt")), "list-20.htm\r\nlist-40.htm\r\nlist-60.htm\r\n");
    EXPECT_EQ(f.Label2->text(), "3");
    EXPECT_GT(f.Label2->width(), 0);

    // A new generation with nothing to write leaves the count as it was.
    f.Edit3->setText("0");
    f.SpeedButton1->click();
    EXPECT_EQ(readFile(dir.file("list.txt")), "");
    EXPECT_EQ(f.Label2->text(), "3");

    t.answer = q(dir.file("two.txt"));
    f.Edit5->setText("a");
    f.Edit6->setText("5");
    f.Edit7->setText("7");
    f.Edit9->setText("_");
    f.Edit10->setText("100");
    f.Edit11->setText("not read");
    f.Edit12->setText("not read either");
    f.SpeedButton2->click();
    EXPECT_EQ(readFile(dir.file("two.txt")), "a5_100\r\na6_101\r\na7_102\r\n");
    EXPECT_EQ(f.Label7->text(), "3");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(TbbsForm, ErrorsReachTheErrorBox)
{
    TempDir dir;
    BoxRecorder boxes;
    Form t;

    // Defaults: the end count is empty; the file is created and stays empty.
    t.answer = q(dir.file("defaults.txt"));
    t.form.SpeedButton1->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, lt::BoxKind::Error);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("'' is not a valid integer value."));
    EXPECT_EQ(::access(dir.file("defaults.txt").c_str(), F_OK), 0);
    EXPECT_EQ(readFile(dir.file("defaults.txt")), "");
    EXPECT_EQ(t.form.Label2->text(), "");

    // A bad second-counter start leaves an existing file as it was.
    t.answer = q(dir.write("keep.txt", "keep\r\n"));
    t.form.Edit7->setText("3");
    t.form.Edit10->setText("ten");
    t.form.SpeedButton2->click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("'ten' is not a valid integer value."));
    EXPECT_EQ(readFile(dir.file("keep.txt")), "keep\r\n");
    EXPECT_EQ(t.form.Label7->text(), QStringLiteral("页面总数"));

    // A write error in the middle: the count shows the lines in the file.
    t.answer = q(dir.file("full.txt"));
    t.form.Edit3->setText("1000000");
    {
        lt::test::FileSizeLimit limit(100000);
        t.form.SpeedButton1->click();
    }
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text, QStringLiteral("Disk full."));
    const std::string file = readFile(dir.file("full.txt"));
    EXPECT_EQ(t.form.Label2->text().toLongLong(), std::count(file.begin(), file.end(), '\n'));
    EXPECT_GT(t.form.Label2->text().toInt(), 0);
}

TEST(TbbsForm, FieldsStayBetweenOpenings)
{
    TbbsForm f;
    f.Edit1->setText("http://bbs.example.com/");
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, &f, [&f] { f.reject(); });
        f.exec();
    }
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.Edit1->text(), "http://bbs.example.com/");
}

TEST(TbbsForm, RealSaveDialogAddsTxtAndProposesTheLastName)
{
    TempDir dir;
    TbbsForm f;
    f.SaveDialog1->setDirectory(q(dir.path()));

    whenModal<QFileDialog>([](QFileDialog* d) {
        // Typed by the user: the name field has the focus.
        d->findChild<QLineEdit*>("fileNameEdit")->setText("pages");
        static_cast<QDialog*>(d)->accept(); // QFileDialog's own accept, with its checks
    });
    std::optional<QString> chosen = f.chooseFile();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, q(dir.file("pages.txt")));

    // Next time the same name is proposed; an existing file needs a yes.
    dir.write("pages.txt", "old\r\n");
    QString proposed;
    bool asked = false;
    whenModal<QFileDialog>([&](QFileDialog* d) {
        if (auto* name = d->findChild<QLineEdit*>("fileNameEdit"))
            proposed = name->text();
        whenModal<QMessageBox>([&](QMessageBox* m) {
            asked = true;
            m->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog*>(d)->accept(); // QFileDialog's own accept, with its checks
    });
    chosen = f.chooseFile();
    EXPECT_EQ(proposed, "pages.txt");
    EXPECT_TRUE(asked);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, q(dir.file("pages.txt")));

    whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(f.chooseFile());
}
