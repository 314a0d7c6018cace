#include "base/AtomicFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using lt::AtomicFile;
using lt::WriteErrors;
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
