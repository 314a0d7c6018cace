#include "support/TempDir.h"
#include "ui/FileFilter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

using lt::test::TempDir;

namespace {

// The names the dialog lists in its folder once it has read it.
QStringList listed(QFileDialog& dialog, int expected)
{
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (!view)
        return {QStringLiteral("no list view")};
    QStringList names;
    auto read = [&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        names.sort();
        return names.size() == expected;
    };
    (void)QTest::qWaitFor(read, 3000); // the folder is read in the background
    return names;
}

} // namespace

TEST(FileFilter, DescriptionsShowAsWrittenAndAllFilesMeansEveryFile)
{
    TempDir dir;
    dir.write("urls", "");
    dir.write("list.txt", "");
    dir.write("notes.text", "");

    QFileDialog dialog(nullptr, QStringLiteral("选择网址列表文件"), QString::fromStdString(dir.path()));
    lt::setFileFilter(dialog, QStringLiteral("Text files(*.txt)|*.txt|All files(*.*)|*.*"));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown << types->itemText(i);
    EXPECT_EQ(shown, (QStringList{"Text files(*.txt)", "All files(*.*)"}));

    EXPECT_EQ(listed(dialog, 1), (QStringList{"list.txt"}));
    dialog.selectNameFilter(dialog.nameFilters().at(1));
    EXPECT_EQ(listed(dialog, 3), (QStringList{"list.txt", "notes.text", "urls"}));
}

TEST(FileFilter, PairsWithoutPatternsInTheirDescriptions)
{
    EXPECT_EQ(lt::nameFilters(QStringLiteral("Text files|*.txt|All files|*.*")),
              (QStringList{"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(lt::nameFilters(QStringLiteral("Pictures|*.jpg *.png")), (QStringList{"Pictures (*.jpg *.png)"}));
    EXPECT_EQ(lt::nameFilters(QString()), QStringList());
}
