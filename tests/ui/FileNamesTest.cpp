// File names that are not UTF-8 between the file system and the windows:
// in dialogs, in the list field, in error boxes.
#include "base/Error.h"
#include "support/TempDir.h"
#include "ui/Boxes.h"
#include "ui/ErrorGuard.h"
#include "ui/FileNames.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using lt::test::TempDir;

namespace {
// "网址" in GB2312: its first two bytes are not UTF-8, the last two are.
const std::string gbFolder = "\xcd\xf8\xd6\xb7";
} // namespace

TEST(FileNames, ANameThatIsNotUtf8IsShownAsGbAndFoundFromEitherReading)
{
    TempDir dir;
    const std::string folder = dir.path() + gbFolder;
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string list = dir.write(gbFolder + "/list.txt", "x");

    EXPECT_EQ(lt::readableFileName(list), QString::fromStdString(dir.path()) + "网址/list.txt");
    // Qt's own reading, as a file dialog answers, and the one the field shows.
    const QString asQtReadsIt = QFile::decodeName(QByteArray::fromStdString(list));
    ASSERT_NE(QFile::encodeName(asQtReadsIt).toStdString(), list);
    EXPECT_EQ(lt::fileSystemName(asQtReadsIt), list);
    EXPECT_EQ(lt::fileSystemName(lt::readableFileName(list)), list);
    // A file still to be made in such a folder: the folder as it is, the new
    // name in UTF-8.
    EXPECT_EQ(lt::fileSystemName(QFile::decodeName(QByteArray::fromStdString(folder)) + "/新.txt"),
              folder + "/新.txt");
}

TEST(FileNames, Utf8NamesPassAsTheyAre)
{
    EXPECT_EQ(lt::readableFileName("/home/u/网址.txt"), QString::fromUtf8("/home/u/网址.txt"));
    EXPECT_EQ(lt::fileSystemName(QString::fromUtf8("/nowhere/网址/list.txt")), "/nowhere/网址/list.txt");
    EXPECT_EQ(lt::fileSystemName(QString::fromUtf8("relative/a.txt")), "relative/a.txt");
}

TEST(FileNames, AnErrorThatNamesSuchAFileShowsItReadable)
{
    QString shown;
    lt::setBoxHook([&](const lt::BoxRequest& r) {
        shown = r.text;
        return lt::BoxAnswer{};
    });
    lt::guarded(nullptr, [] { throw lt::Error("Cannot create file /home/u/" + gbFolder + "/linktrawlok.ini"); });
    lt::setBoxHook({});
    EXPECT_EQ(shown, QString::fromUtf8("Cannot create file /home/u/网址/linktrawlok.ini."));
}
