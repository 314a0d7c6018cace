#include "bbs/bbskit.h"

#include "bbs/BbsListGenerator.h"
#include "ui/ErrorGuard.h"
#include "ui/FileFilter.h"
#include "ui/ModalWindows.h"
#include "ui/WindowLook.h"

#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <array>

namespace {

constexpr int kEditHeight = 21;

} // namespace

// The fields' texts as UTF-8, kept current through textChanged so that the
// generators can read them on every line without converting each time.
class TbbsForm::FieldTexts : public lt::BbsFieldSource {
public:
    void watch(lt::BbsField field, QLineEdit* edit)
    {
        std::string& slot = texts_[static_cast<std::size_t>(field)];
        slot = edit->text().toStdString();
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [&slot](const QString& text) { slot = text.toStdString(); });
    }

    const std::string& text(lt::BbsField field) const override
    {
        return texts_[static_cast<std::size_t>(field)];
    }

private:
    std::array<std::string, static_cast<std::size_t>(lt::BbsField::Back) + 1> texts_;
};

TbbsForm::TbbsForm(QWidget* parent) : QDialog(parent), fields_(std::make_unique<FieldTexts>())
{
    setWindowTitle(QStringLiteral("生成BBS页面地址列表"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    lt::setOuterSize(*this, QSize(546, 238), lt::Sizing::Fixed);
    setFont(lt::songTiFont());
    setWindowIcon(lt::programIcon());

    auto label = [this](int x, int y, const QString& text) {
        auto* l = new QLabel(text, this);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto edit = [this](int x, int y, int width, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setGeometry(x, y, width, kEditHeight);
        return e;
    };
    auto button = [this](int x, int y, const QString& text) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(x, y, 209, 25);
        return b;
    };

    SpeedButton1 = button(184, 8, QStringLiteral("生成BBS页面地址列表[一组计数]"));
    Label1 = label(16, 16, QStringLiteral("页面总数"));
    Label2 = label(72, 32, QString());
    Label15 = label(456, 16, QStringLiteral("增长率"));
    Edit12 = edit(496, 12, 33, QStringLiteral("1"));
    Label3 = label(48, 48, QStringLiteral("BBS网址前缀"));
    Label4 = label(160, 48, QStringLiteral("初始计数"));
    Label5 = label(248, 48, QStringLiteral("结束计数"));
    Label6 = label(384, 48, QStringLiteral("BBS网址后缀"));
    Edit1 = edit(16, 72, 121, QStringLiteral("http://"));
    Edit2 = edit(152, 72, 73, QStringLiteral("0"));
    Edit3 = edit(240, 72, 73, QString());
    Edit4 = edit(328, 72, 201, QString());

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(16, 96, 513, 2);

    Label7 = label(16, 120, QStringLiteral("页面总数"));
    SpeedButton2 = button(184, 120, QStringLiteral("生成BBS页面地址列表[两组计数]"));
    Label8 = label(16, 160, QStringLiteral("BBS网址前段"));
    Label9 = label(112, 160, QStringLiteral("初始计数"));
    Label10 = label(168, 160, QStringLiteral("结束计数"));
    Label12 = label(232, 160, QStringLiteral("BBS网址中部"));
    Label13 = label(320, 160, QStringLiteral("初始计数"));
    Label14 = label(376, 160, QStringLiteral("结束计数"));
    Label11 = label(448, 160, QStringLiteral("BBS网址后段"));
    Edit5 = edit(16, 184, 89, QStringLiteral("http://"));
    Edit6 = edit(112, 184, 49, QStringLiteral("0"));
    Edit7 = edit(168, 184, 49, QString());
    Edit9 = edit(224, 183, 89, QString());
    Edit10 = edit(320, 183, 49, QStringLiteral("0"));
    Edit11 = edit(376, 183, 49, QString());
    Edit8 = edit(440, 184, 89, QString());

    QLineEdit* const tabOrder[] = {Edit1, Edit2, Edit3, Edit4,  Edit5,  Edit6,
                                   Edit7, Edit8, Edit9, Edit10, Edit11, Edit12};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    using lt::BbsField;
    fields_->watch(BbsField::Prefix, Edit1);
    fields_->watch(BbsField::Start, Edit2);
    fields_->watch(BbsField::End, Edit3);
    fields_->watch(BbsField::Suffix, Edit4);
    fields_->watch(BbsField::Rate, Edit12);
    fields_->watch(BbsField::Front, Edit5);
    fields_->watch(BbsField::FirstStart, Edit6);
    fields_->watch(BbsField::FirstEnd, Edit7);
    fields_->watch(BbsField::Middle, Edit9);
    fields_->watch(BbsField::SecondStart, Edit10);
    fields_->watch(BbsField::Back, Edit8);

    SaveDialog1 = new QFileDialog(this, QStringLiteral("BBS页面地址列表"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    lt::setFileFilter(*SaveDialog1, QStringLiteral("Text files|*.txt|All files|*.*"));
    SaveDialog1->setDefaultSuffix(QStringLiteral("txt"));
    chooseFile = [this] { return runSaveDialog(); };

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(SpeedButton1); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(SpeedButton2); });
}

TbbsForm::~TbbsForm() = default;

void TbbsForm::showEvent(QShowEvent* event)
{
    lt::centreOnScreen(*this);
    // Every opening starts at the first field. Left to Qt it would be Edit12:
    // made before Edit1, it is the first field after the window in the
    // (circular) tab order.
    Edit1->setFocus();
    QDialog::showEvent(event);
}

void TbbsForm::keyPressEvent(QKeyEvent* event)
{
    // The window's one way out is its close box; QDialog would let Escape
    // close it too.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<QString> TbbsForm::runSaveDialog()
{
    if (!lastFile_.isEmpty())
        SaveDialog1->selectFile(lastFile_);
    if (lt::execModal(*SaveDialog1) != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = SaveDialog1->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    lastFile_ = files.first();
    return lastFile_;
}

void TbbsForm::showCount(QLabel* label, std::int64_t count)
{
    label->setText(QString::number(count));
    label->adjustSize();
    label->repaint();
}

void TbbsForm::generate(QLabel* label, void (lt::BbsListGenerator::*write)(const std::string&))
{
    lt::guarded(this, [this, label, write] {
        const std::optional<QString> file = chooseFile();
        if (!file)
            return;
        repaint();
        lt::BbsListGenerator generator(*fields_, [this, label](std::int64_t n) { showCount(label, n); });
        (generator.*write)(QFile::encodeName(*file).toStdString());
    });
}

void TbbsForm::SpeedButton1Click(QObject*)
{
    generate(Label2, &lt::BbsListGenerator::writeOneCounterList);
}

void TbbsForm::SpeedButton2Click(QObject*)
{
    generate(Label7, &lt::BbsListGenerator::writeTwoCounterList);
}
