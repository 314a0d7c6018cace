#include "app/Boxes.h"
#include "bbs/bbskit.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <unistd.h>

using lt::test::readFile;
using lt::test::TempDir;

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

void expectAt(QWidget* w, int x, int y, int width = -1)
{
    EXPECT_EQ(w->pos(), QPoint(x, y)) << w->objectName().toStdString();
    if (width >= 0) {
        EXPECT_EQ(w->width(), width);
    }
}

// Runs f once a modal window of type T is up (inside a real dialog's loop).
// Gives up after a few seconds, closing whatever is modal, so that a fault
// fails the test instead of hanging it.
template <typename T>
void whenModal(std::function<void(T*)> f)
{
    auto* timer = new QTimer;
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, f] {
        T* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!w && ++*waited < 500)
            return;
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (w) {
            f(w);
        } else {
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " came up";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

} // namespace

TEST(TbbsForm, LayoutCaptionsAndDefaults)
{
    TbbsForm f;
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("生成BBS页面地址列表"));
    EXPECT_EQ(f.size(), QSize(538, 211));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(f.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(f.font().pixelSize(), 12);

    struct LabelSpec {
        QLabel* label;
        int x, y;
        const char* text;
    };
    const LabelSpec labels[] = {
        {f.Label1, 16, 16, "页面总数"},     {f.Label2, 72, 32, ""},
        {f.Label15, 456, 16, "增长率"},     {f.Label3, 48, 48, "BBS网址前缀"},
        {f.Label4, 160, 48, "初始计数"},    {f.Label5, 248, 48, "结束计数"},
        {f.Label6, 384, 48, "BBS网址后缀"}, {f.Label7, 16, 120, "页面总数"},
        {f.Label8, 16, 160, "BBS网址前段"}, {f.Label9, 112, 160, "初始计数"},
        {f.Label10, 168, 160, "结束计数"},  {f.Label12, 232, 160, "BBS网址中部"},
        {f.Label13, 320, 160, "初始计数"},  {f.Label14, 376, 160, "结束计数"},
        {f.Label11, 448, 160, "BBS网址后段"},
    };
    for (const LabelSpec& l : labels) {
        EXPECT_EQ(l.label->text(), QString::fromUtf8(l.text));
        expectAt(l.label, l.x, l.y);
    }

    struct EditSpec {
        QLineEdit* edit;
        int x, y, width;
        const char* text;
    };
    const EditSpec edits[] = {
        {f.Edit12, 496, 12, 33, "1"},  {f.Edit1, 16, 72, 121, "http://"},
        {f.Edit2, 152, 72, 73, "0"},   {f.Edit3, 240, 72, 73, ""},
        {f.Edit4, 328, 72, 201, ""},   {f.Edit5, 16, 184, 89, "http://"},
        {f.Edit6, 112, 184, 49, "0"},  {f.Edit7, 168, 184, 49, ""},
        {f.Edit9, 224, 183, 89, ""},   {f.Edit10, 320, 183, 49, "0"},
        {f.Edit11, 376, 183, 49, ""},  {f.Edit8, 440, 184, 89, ""},
    };
    for (const EditSpec& e : edits) {
        EXPECT_EQ(e.edit->text(), QString::fromUtf8(e.text));
        expectAt(e.edit, e.x, e.y, e.width);
    }

    EXPECT_EQ(f.SpeedButton1->text(), QStringLiteral("生成BBS页面地址列表[一组计数]"));
    EXPECT_EQ(f.SpeedButton1->geometry(), QRect(184, 8, 209, 25));
    EXPECT_EQ(f.SpeedButton2->text(), QStringLiteral("生成BBS页面地址列表[两组计数]"));
    EXPECT_EQ(f.SpeedButton2->geometry(), QRect(184, 120, 209, 25));
    EXPECT_EQ(f.SpeedButton1->iconSize(), QSize(16, 16));
    EXPECT_TRUE(f.SpeedButton1->autoRaise());
    expectAt(f.Bevel1, 16, 96, 513);
    EXPECT_EQ(f.Bevel1->frameShape(), QFrame::HLine);

    // Every control lies inside the client area.
    for (QWidget* w : f.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow()) {
            EXPECT_TRUE(f.rect().contains(w->geometry())) << w->metaObject()->className();
        }
}

TEST(TbbsForm, TabOrderRunsEdit1ToEdit12)
{
    TbbsForm f;
    QLineEdit* const order[] = {f.Edit1, f.Edit2, f.Edit3, f.Edit4,  f.Edit5,  f.Edit6,
                                f.Edit7, f.Edit8, f.Edit9, f.Edit10, f.Edit11, f.Edit12};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus || next->isWindow() || !f.isAncestorOf(next))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << "after Edit" << i + 1;
    }
    EXPECT_EQ(f.SpeedButton1->focusPolicy(), Qt::NoFocus);
}

TEST(TbbsForm, SaveDialogSettings)
{
    TbbsForm f;
    QFileDialog* d = f.SaveDialog1;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("BBS页面地址列表"));
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(d->nameFilters(), QStringList({"Text files (*.txt)", "All files (*.*)"}));
    EXPECT_TRUE(d->testOption(QFileDialog::HideNameFilterDetails));
    EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(d->defaultSuffix(), QStringLiteral("txt"));
}

TEST(TbbsForm, OneCounterExampleThroughTheButton)
{
    TempDir dir;
    BoxRecorder boxes;
    Form t;
    t.answer = q(dir.file("list.txt"));
    t.form.Edit1->setText("list-");
    t.form.Edit4->setText(".htm");
    t.form.Edit12->setText("20");
    t.form.Edit2->setText("1");
    t.form.Edit3->setText("3");
    t.form.SpeedButton1->click();
    EXPECT_EQ(t.dialogs, 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(readFile(dir.file("list.txt")), "list-20.htm\r\nlist-40.htm\r\nlist-60.htm\r\n");
    EXPECT_EQ(t.form.Label2->text(), "3");
    EXPECT_GT(t.form.Label2->width(), 0);
    EXPECT_EQ(t.form.Label7->text(), QStringLiteral("页面总数"));

    // A new generation with nothing to write leaves the count as it was.
    t.form.Edit3->setText("0");
    t.form.SpeedButton1->click();
    EXPECT_EQ(readFile(dir.file("list.txt")), "");
    EXPECT_EQ(t.form.Label2->text(), "3");
}

TEST(TbbsForm, TwoCounterExampleThroughTheButton)
{
    TempDir dir;
    BoxRecorder boxes;
    Form t;
    t.answer = q(dir.file("two.txt"));
    t.form.Edit5->setText("a");
    t.form.Edit6->setText("5");
    t.form.Edit7->setText("7");
    t.form.Edit9->setText("_");
    t.form.Edit10->setText("100");
    t.form.Edit11->setText("not read");
    t.form.Edit12->setText("not read either");
    t.form.SpeedButton2->click();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(readFile(dir.file("two.txt")), "a5_100\r\na6_101\r\na7_102\r\n");
    EXPECT_EQ(t.form.Label7->text(), "3");
    EXPECT_EQ(t.form.Label2->text(), "");
}

TEST(TbbsForm, CancelledDialogDoesNothing)
{
    BoxRecorder boxes;
    Form t;
    t.form.Edit3->setText("3");
    t.form.SpeedButton1->click();
    t.form.SpeedButton2->click();
    EXPECT_EQ(t.dialogs, 2);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(t.form.Label2->text(), "");
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

    // A write error in the middle: the count shows what was written.
    t.answer = QStringLiteral("/dev/full");
    t.form.Edit3->setText("1000000");
    t.form.SpeedButton1->click();
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text, QStringLiteral("Disk full."));
    const int shown = t.form.Label2->text().toInt();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 1000000);
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
