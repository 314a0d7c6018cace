#include "base/AtomicFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using lt::AtomicFile;
using lt::WriteErrors;
using lt::test::FileSizeLimit;
using lt::test::readFile;
using lt::test::TempDir;
using Names = std::vector<std::string>;

namespace {

// The temporaries beside target.
Names temporariesOf(const TempDir& dir, const std::string& target)
{
    Names out;
    for (const std::string& name : dir.names())
        if (AtomicFile::isTemporaryName(name, target))
            out.push_back(name);
    return out;
}

} // namespace

TEST(AtomicFile, TemporaryNames)
{
    const std::string target = "linktrawler.ini";
    for (const char* name : {"linktrawler.ini.~ltAb3dE9", "linktrawler.ini.~ltXXXXXX", "linktrawler.ini.~lt000000"})
        EXPECT_TRUE(AtomicFile::isTemporaryName(name, target)) << name;
    for (const char* name : {"linktrawler.ini", "linktrawler.ini.~ltAb3dE", "linktrawler.ini.~ltAb3dE9x",
                             "linktrawler.ini.~ltAb-dE9", "linktrawler.ini.~ltAb3dE.", "linktrawler.ini.Ab3dE9xy",
                             "linktrawler.ini~ltAb3dE9", "xlinktrawler.ini.~ltAb3dE9", "linktrawlok.ini.~ltAb3dE9",
                             ".~ltAb3dE9"})
        EXPECT_FALSE(AtomicFile::isTemporaryName(name, target)) << name;
    EXPECT_FALSE(AtomicFile::isTemporaryName(".~ltAb3dE9", ""));
}

TEST(AtomicFile, OnlyTheLeftoversOfTheTargetGo)
{
    TempDir dir;
    const std::string target = dir.write("linktrawler.ini", "keep\r\n");
    dir.write("linktrawler.ini.~ltAb3dE9", "half");
    dir.write("linktrawler.ini.~ltXXXXXX", "");
    // Not leftovers of this target.
    const Names kept = {"linktrawler.ini",
                        "linktrawler.ini.~ltAb3dE",
                        "linktrawler.ini.~ltAb3dE9x",
                        "linktrawler.ini.~ltDir123",
                        "linktrawler.ini.~ltLink12",
                        "linktrawler.ini.~ltab-de9",
                        "linktrawler.tmp.~ltAb3dE9",
                        "linktrawlok.ini.~ltAb3dE9",
                        "precious.txt"};
    for (const char* name : {"linktrawler.ini.~ltAb3dE", "linktrawler.ini.~ltAb3dE9x", "linktrawler.ini.~ltab-de9",
                             "linktrawler.tmp.~ltAb3dE9", "linktrawlok.ini.~ltAb3dE9", "precious.txt"})
        dir.write(name, "x");
    ASSERT_EQ(::mkdir(dir.file("linktrawler.ini.~ltDir123").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(dir.file("precious.txt").c_str(), dir.file("linktrawler.ini.~ltLink12").c_str()), 0);

    AtomicFile::removeLeftovers(target);
    EXPECT_EQ(dir.names(), kept);
    EXPECT_EQ(readFile(dir.file("precious.txt")), "x");
    EXPECT_EQ(readFile(target), "keep\r\n");

    AtomicFile::removeLeftovers(dir.file("missing/linktrawler.ini")); // no folder: nothing happens
}

TEST(AtomicFile, ATemporaryBeingWrittenStays)
{
    TempDir dir;
    const std::string target = dir.write("linktrawler.ini", "old");
    {
        AtomicFile file(target, WriteErrors::Runtime);
        file.write("new");
        ASSERT_EQ(temporariesOf(dir, "linktrawler.ini").size(), 1u);
        // Another instance starting now must not take it away.
        AtomicFile::removeLeftovers(target);
        EXPECT_EQ(temporariesOf(dir, "linktrawler.ini").size(), 1u);
        file.commit();
    }
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(dir.names(), Names{"linktrawler.ini"});
}

TEST(AtomicFile, TheTemporaryOfAWriterThatDiedGoes)
{
    TempDir dir;
    const std::string target = dir.write("linktrawler.ini", "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed in the middle of the save: no destructor, no commit.
        auto* file = new AtomicFile(target, WriteErrors::Runtime);
        file->write("half");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(temporariesOf(dir, "linktrawler.ini").size(), 1u);

    AtomicFile::removeLeftovers(target);
    EXPECT_EQ(dir.names(), Names{"linktrawler.ini"});
    EXPECT_EQ(readFile(target), "old");
}

namespace {

ino_t inodeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

bool startsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

// More than the writer holds back: it reaches the temporary before any publish.
const std::string kLarge = std::string(3 << 20, 'x') + "\r\n";

} // namespace

TEST(AtomicFile, BeforeAPublishTheTargetStaysAsItWas)
{
    TempDir dir;
    const std::string target = dir.write("found.txt", "old\r\n");
    {
        AtomicFile file(target, WriteErrors::CannotCreate);
        file.write("a\r\n");
        file.write(kLarge);
        EXPECT_EQ(readFile(target), "old\r\n");
    }
    EXPECT_EQ(readFile(target), "old\r\n");
    EXPECT_EQ(dir.names(), Names{"found.txt"});
}

TEST(AtomicFile, PublishedTextIsTheTargetAndLaterWritesGoOnInIt)
{
    TempDir dir;
    const std::string target = dir.write("found.txt", "old\r\n");
    AtomicFile file(target, WriteErrors::CannotCreate);
    file.write("a\r\n");
    file.write(kLarge);
    file.write("b\r\n");
    file.publish();
    EXPECT_EQ(readFile(target), "a\r\n" + kLarge + "b\r\n");
    EXPECT_EQ(dir.names(), Names{"found.txt"});
    const ino_t published = inodeOf(target);

    // Nothing is left to rename: the target grows where it is.
    file.write("c\r\n");
    file.publish();
    EXPECT_EQ(readFile(target), "a\r\n" + kLarge + "b\r\nc\r\n");
    file.publish();
    file.write("d\r\n");
    file.commit();
    EXPECT_EQ(readFile(target), "a\r\n" + kLarge + "b\r\nc\r\nd\r\n");
    EXPECT_EQ(inodeOf(target), published);
    EXPECT_EQ(dir.names(), Names{"found.txt"});
}

TEST(AtomicFile, APublishedTargetOutlivesItsWriter)
{
    TempDir dir;
    // A new target, given up by its writer after the publish.
    const std::string fresh = dir.file("fresh.txt");
    {
        AtomicFile file(fresh, WriteErrors::CannotCreate);
        file.write("a\r\n");
        file.publish();
        file.write("b\r\n");
    }
    EXPECT_TRUE(startsWith(readFile(fresh), "a\r\n")) << readFile(fresh);

    // A writer killed after the publish: no destructor ran.
    const std::string killed = dir.write("killed.txt", "old\r\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* file = new AtomicFile(killed, WriteErrors::CannotCreate);
        file->write("a\r\n");
        file->publish();
        file->write("b\r\n");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    AtomicFile::removeLeftovers(killed);
    EXPECT_TRUE(startsWith(readFile(killed), "a\r\n")) << readFile(killed);

    // A write that fails after the publish (a full disk) takes nothing away.
    const std::string full = dir.file("full.txt");
    {
        AtomicFile file(full, WriteErrors::CannotCreate);
        file.write("a\r\n");
        file.publish();
        FileSizeLimit limit(1000);
        EXPECT_THROW(file.write(kLarge), std::exception);
    }
    EXPECT_TRUE(startsWith(readFile(full), "a\r\n"));
    EXPECT_EQ(dir.names(), (Names{"fresh.txt", "full.txt", "killed.txt"}));
}
