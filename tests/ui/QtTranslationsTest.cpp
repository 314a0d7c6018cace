#include "support/TempDir.h"
#include "support/WhenModal.h"
#include "ui/Boxes.h"
#include "ui/FileFilter.h"
#include "ui/QtTranslations.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

using lt::test::TempDir;
using lt::test::whenModal;

namespace {

// Latin letters other than a shortcut's, as in "保存(&S)".
bool hasLatinLetters(QString s)
{
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    for (QChar c : s)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return true;
    return false;
}

QStringList buttonTexts(QWidget* w)
{
    QStringList texts;
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->isVisible())
            texts << b->text();
    texts.sort();
    return texts;
}

} // namespace

TEST(QtTranslations, QtsTextsAreChineseAndTheProgramsStayAsTheyAre)
{
    ASSERT_TRUE(lt::installChineseQtTexts()) << "qtbase_zh_CN.qm not installed (qt6-translations-l10n)";
    EXPECT_TRUE(lt::installChineseQtTexts()); // once is enough

    // The file dialog: its labels and buttons, and the overwrite prompt.
    TempDir dir;
    dir.write("old.txt", "keep");
    QFileDialog dialog(nullptr, QStringLiteral("BBS页面地址列表"), QString::fromStdString(dir.path()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    lt::setFileFilter(dialog, QStringLiteral("Text files|*.txt|All files|*.*"));
    QStringList labels, buttons;
    QString prompt;
    QStringList promptButtons;
    whenModal<QFileDialog>([&](QFileDialog* d) {
        for (QLabel* l : d->findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty())
                labels << l->text();
        buttons = buttonTexts(d);
        whenModal<QMessageBox>([&](QMessageBox* m) {
            prompt = m->text();
            promptButtons = buttonTexts(m);
            m->button(QMessageBox::No)->click();
        });
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("old.txt"));
        static_cast<QDialog*>(d)->accept(); // QFileDialog's own accept: it asks before replacing
        d->reject();
    });
    dialog.exec();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("BBS页面地址列表"));
    ASSERT_FALSE(labels.isEmpty());
    for (const QString& text : labels + buttons + promptButtons)
        EXPECT_FALSE(hasLatinLetters(text)) << text.toStdString();
    EXPECT_TRUE(prompt.contains(QStringLiteral("old.txt"))) << prompt.toStdString();
    EXPECT_FALSE(prompt.contains(QStringLiteral("already exists"))) << prompt.toStdString();

    // The error box's standard button is Qt's, the other boxes' are the program's.
    QStringList errorButtons, confirmButtons;
    whenModal<QMessageBox>([&](QMessageBox* m) {
        errorButtons = buttonTexts(m);
        m->accept();
    });
    lt::errorBox(nullptr, QStringLiteral("Disk full"));
    whenModal<QMessageBox>([&](QMessageBox* m) {
        confirmButtons = buttonTexts(m);
        m->reject();
    });
    lt::confirmationBox(nullptr, QStringLiteral("确认退出拾链宝吗?"));
    EXPECT_EQ(errorButtons, QStringList{QStringLiteral("确定")});
    EXPECT_EQ(confirmButtons, (QStringList{QStringLiteral("(&N)否"), QStringLiteral("(&Y)是")}));
}
