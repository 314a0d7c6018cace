// linktrawl on long runs, end to end on the real engine: runs killed at any
// moment and continued from their checkpoints, renderers killed under a
// --jobs run, no engine process left behind, a position that cannot be
// saved.
#include "CommandFixture.h"
#include "LinkRecord.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <gmock/gmock.h>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

using namespace lt::test;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// The records of a JSON Lines output. A run killed in the middle of a write
// may leave part of a line at the end: with tail given it goes there, and
// is no record; without, the output must end with a whole line.
std::vector<Record> parseRecords(const std::string& text, std::string* tail = nullptr)
{
    std::vector<Record> records;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1) {
        const QByteArray line = QByteArray::fromStdString(text.substr(from, at - from));
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_EQ(o.size(), 4) << line.toStdString();
        records.push_back(Record{o.value("line").toInteger(), o.value("page").toString().toStdString(),
                                 o.value("link").toString().toStdString()});
    }
    if (tail)
        *tail = text.substr(from);
    else
        EXPECT_EQ(text.substr(from), "") << "the output does not end with a line break";
    return records;
}

bool startsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

std::string procFile(const std::string& pid, const char* name)
{
    return readFile("/proc/" + pid + "/" + name);
}

// Every process of the machine with its parent.
std::map<pid_t, pid_t> processParents()
{
    std::map<pid_t, pid_t> parents;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return parents;
    while (const dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        // The command name may hold blanks and parentheses: the state and
        // the parent follow the last ')'.
        const std::string stat = procFile(e->d_name, "stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 4 > stat.size())
            continue;
        parents[static_cast<pid_t>(pid)] = static_cast<pid_t>(std::strtol(stat.c_str() + close + 4, nullptr, 10));
    }
    ::closedir(proc);
    return parents;
}

// The renderers under root: its descendants started as --type=renderer.
// Forked by a zygote, a renderer may keep the zygote's command line (the
// engine here does): a zygote's child counts as one too.
std::vector<pid_t> renderersOf(pid_t root)
{
    const auto parents = processParents();
    auto commandOf = [](pid_t pid) { return procFile(std::to_string(pid), "cmdline"); };
    std::vector<pid_t> renderers;
    for (const auto& [pid, parent] : parents) {
        bool below = false;
        // Up the tree, bounded in case the table changed while it was read.
        for (pid_t p = parent, steps = 0; p > 1 && steps < 64 && !below; ++steps) {
            below = p == root;
            auto it = parents.find(p);
            p = it == parents.end() ? 0 : it->second;
        }
        if (!below)
            continue;
        const std::string command = commandOf(pid);
        if (command.find("--type=renderer") != std::string::npos
            || (command.find("--type=zygote") != std::string::npos
                && commandOf(parent).find("--type=zygote") != std::string::npos))
            renderers.push_back(pid);
    }
    return renderers;
}

// The processes whose environment holds entry ("NAME=value"); zombies have
// none left.
std::vector<pid_t> processesWithEnvironment(const std::string& entry)
{
    std::vector<pid_t> found;
    for (const auto& [pid, parent] : processParents()) {
        const std::string environ = procFile(std::to_string(pid), "environ");
        for (std::size_t from = 0; from < environ.size();) {
            std::size_t end = environ.find('\0', from);
            if (end == std::string::npos)
                end = environ.size();
            if (environ.compare(from, end - from, entry) == 0) {
                found.push_back(pid);
                break;
            }
            from = end + 1;
        }
    }
    return found;
}

std::string describeProcesses(const std::vector<pid_t>& pids)
{
    std::string text;
    for (pid_t pid : pids) {
        std::string command = procFile(std::to_string(pid), "cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        text += "\n  " + std::to_string(pid) + " " + command.substr(0, 160);
    }
    return text;
}

// Kills of the command counted over the whole program, for --gtest_repeat.
int totalKills = 0;

// The seed of a test's random choices; LINKTRAWL_TEST_SEED makes a failed
// test choose as it did.
unsigned testSeed()
{
    const char* fixed = std::getenv("LINKTRAWL_TEST_SEED");
    return fixed && *fixed ? static_cast<unsigned>(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
}

class LongRunCommand : public CommandFixture {
protected:
    // Page n: three links the default rules accept, and some they do not;
    // its answer is held for delayMs.
    std::string addPage(int n, int delayMs)
    {
        const std::string k = std::to_string(n);
        HttpTestServer::Response r;
        r.body = "<a href='/" + k + "/a'>a</a><a href='/" + k + "/A'>repeat</a><a href='/" + k + "/b#f'>b</a>"
                 "<a href='https://secure.example/" + k + "'>s</a><a href='http://other.example/" + k + "'>o</a>"
                 "<a href='mailto:a@example.com'>m</a>";
        r.delayMs = delayMs;
        server.serve("/p" + k + ".html", r);
        const std::string address = server.url("/p" + k + ".html");
        accepted_[address] = {server.url("/" + k + "/a"), server.url("/" + k + "/b#f"), "http://other.example/" + k};
        return address;
    }

    // list.txt (CR LF) of pages 1..count; returns its path.
    std::string makeList(int count, int delayMs)
    {
        std::vector<std::string> addresses;
        for (int n = 1; n <= count; ++n)
            addresses.push_back(addPage(n, delayMs));
        return list(addresses);
    }

    std::string list(const std::vector<std::string>& addresses, const std::string& name = "list.txt")
    {
        lines_ = addresses;
        std::string text;
        for (const std::string& a : addresses)
            text += a + "\r\n";
        return dir.write(name, text);
    }

    // What lines first..last of the list give.
    std::vector<Record> expected(long long first, long long last) const
    {
        std::vector<Record> records;
        for (long long line = std::max(first, 1LL); line <= last; ++line) {
            const std::string& address = lines_.at(static_cast<std::size_t>(line - 1));
            auto it = accepted_.find(address);
            if (it != accepted_.end())
                for (const std::string& link : it->second)
                    records.push_back(Record{line, address, link});
        }
        return records;
    }

    // The lines of a progress file (CR LF); empty when there is none.
    std::vector<std::string> progressLines(const std::string& path) const
    {
        const std::string text = readFile(path);
        std::vector<std::string> lines;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
            lines.push_back(text.substr(from, at - from));
        EXPECT_EQ(text.substr(from), "") << path << " is not whole: " << text;
        return lines;
    }

    bool exists(const std::string& name) const { return QFile::exists(QString::fromStdString(dir.file(name))); }

    // The processes of the command and its engine: all of them, and only
    // they, have the data folder of the test in their environment.
    std::vector<pid_t> engineProcesses() const
    {
        return processesWithEnvironment("XDG_DATA_HOME=" + dir.file("data"));
    }

    // A command killed with SIGKILL cannot end its engine; the engine's
    // processes see it gone and end, before the next run starts.
    void awaitEngineGone()
    {
        if (QTest::qWaitFor([this] { return engineProcesses().empty(); }, 20000))
            return;
        const auto left = engineProcesses();
        ADD_FAILURE() << "engine processes outlived the killed command by 20 s:" << describeProcesses(left);
        for (pid_t pid : left)
            ::kill(pid, SIGKILL);
    }

    void expectNoEngineProcessLeft() const
    {
        const auto left = engineProcesses();
        EXPECT_THAT(left, IsEmpty()) << describeProcesses(left);
    }

    static void reportKills(const std::string& what, int kills)
    {
        totalKills += kills;
        ::testing::Test::RecordProperty(what, kills);
        std::cout << "[ kills    ] " << what << ": " << kills << " (" << totalKills << " in this program so far)"
                  << std::endl;
    }

    // Runs the search (startArgs fresh, continueArgs with --continue) and
    // kills it with SIGKILL at a random moment, up to maxKills times, each
    // time going on with --continue from the position it saved; the last run
    // ends on its own. What must hold for any moment of the kills is checked
    // after each run. Returns the number of kills.
    int killAndContinue(const QStringList& startArgs, const QStringList& continueArgs, int pages, int delayMs,
                        int maxKills)
    {
        const unsigned seed = testSeed();
        SCOPED_TRACE("LINKTRAWL_TEST_SEED=" + std::to_string(seed));
        std::mt19937 random(seed);
        const std::string listFile = makeList(pages, delayMs);
        const std::vector<Record> reference = expected(1, pages);

        // The uninterrupted run. Its position is not one for the killed runs
        // to continue from: it goes, and the first of them starts afresh.
        Outcome r = run(startArgs + QStringList{"--format", "jsonl", "list.txt"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(parseRecords(r.out), reference);
        EXPECT_TRUE(QFile::remove(QString::fromStdString(dir.file("linktrawler.ini")))) << "no position saved";
        expectNoEngineProcessLeft();
        if (::testing::Test::HasFailure())
            return 0;

        long long position = 0;                          // saved before the run
        std::vector<Record> merged;                      // all outputs, repeats dropped
        std::set<std::pair<long long, std::string>> seen; // (line, link) in merged
        int kills = 0;
        int repeats = 0;
        std::string killedAfter; // the saved positions the kills left
        for (int k = 0;; ++k) {
            // The moment: once a random share of what is left is written
            // (none: while the engine starts), and up to a second more.
            const auto left = static_cast<int>(expected(position + 1, pages).size());
            const int afterLines = std::uniform_int_distribution<int>(0, left)(random);
            const int afterMs = std::uniform_int_distribution<int>(0, 1000)(random);
            const bool kill = kills < maxKills;
            SCOPED_TRACE("run " + std::to_string(k) + " after line " + std::to_string(position)
                         + (kill ? ", killed " + std::to_string(afterMs) + " ms after output line "
                                       + std::to_string(afterLines)
                                 : std::string(", not killed")));
            // Killed before its first checkpoint, a run has saved nothing:
            // the next one starts afresh.
            const bool saved = exists("linktrawler.ini");
            const std::string out = "out-" + std::to_string(k) + ".jsonl";
            const std::string save = "saved-" + std::to_string(k) + ".txt";
            QStringList args = saved ? QStringList{"--continue"} + continueArgs : startArgs;
            args += {"--checkpoint", "1", "--format", "jsonl", "--save", QString::fromStdString(save)};
            if (!saved)
                args += "list.txt";
            QProcess p;
            p.setStandardOutputFile(QString::fromStdString(dir.file(out)));
            start(p, args);
            bool killed = false;
            if (kill) {
                const bool written = QTest::qWaitFor(
                    [&] {
                        const std::string text = readFile(dir.file(out));
                        return std::count(text.begin(), text.end(), '\n') >= afterLines
                            || p.state() != QProcess::Running;
                    },
                    120000);
                if (written && !p.waitForFinished(afterMs))
                    killed = ::kill(static_cast<pid_t>(p.processId()), SIGKILL) == 0;
            }
            r = finish(p, 120000);
            // A kill that came as the run ended by itself.
            killed = killed && r.exitCode == -1;

            std::string tail;
            const std::vector<Record> records = parseRecords(readFile(dir.file(out)), killed ? &tail : nullptr);
            long long after = position;
            if (exists("linktrawler.ini")) {
                const auto progress = progressLines(dir.file("linktrawler.ini"));
                EXPECT_EQ(progress.size(), 6u);
                if (progress.size() >= 3) {
                    EXPECT_EQ(progress[0], listFile);
                    after = std::stoll(progress[1]);
                    EXPECT_EQ(progress[2], std::to_string(pages));
                }
            }
            EXPECT_GE(after, position);

            // The run wrote the lines after the position it started from,
            // from the first on, in order.
            for (const Record& record : records)
                EXPECT_GT(record.line, position) << record;
            const auto rest = expected(position + 1, pages);
            EXPECT_TRUE(records.size() <= rest.size() && std::equal(records.begin(), records.end(), rest.begin()))
                << ::testing::PrintToString(records);
            for (const Record& record : records) {
                if (seen.insert({record.line, record.link}).second) {
                    merged.push_back(record);
                } else {
                    ++repeats;
                    EXPECT_GT(record.line, position) << "repeated: " << record;
                }
            }
            // Nothing up to the saved position is missing.
            const auto upToSaved = expected(1, after);
            EXPECT_TRUE(merged.size() >= upToSaved.size()
                        && std::equal(upToSaved.begin(), upToSaved.end(), merged.begin()))
                << "saved position " << after << ", outputs so far: " << ::testing::PrintToString(merged);
            // The --save file holds, from its start, what the checkpoints
            // made it hold.
            const std::string savedText = readFile(dir.file(save));
            if (after > position) {
                EXPECT_TRUE(startsWith(savedText, asText(expected(position + 1, after), "\r\n"))) << savedText;
            }

            if (!killed) {
                EXPECT_EQ(r.exitCode, 0) << r.err;
                EXPECT_EQ(after, pages);
                EXPECT_EQ(savedText, asText(expected(position + 1, pages), "\r\n"));
                expectNoEngineProcessLeft();
                break;
            }
            ++kills;
            killedAfter += " " + std::to_string(after);
            awaitEngineGone();
            position = after;
            if (::testing::Test::HasFailure())
                break;
        }
        EXPECT_EQ(merged, reference);
        ::testing::Test::RecordProperty("repeated_records", repeats);
        std::cout << "[ kills    ] saved positions after the kills:" << killedAfter << "; records written again: "
                  << repeats << std::endl;
        return kills;
    }

    std::vector<std::string> lines_;
    std::map<std::string, std::vector<std::string>> accepted_;
};

} // namespace

TEST_F(LongRunCommand, JobsKilledAtAnyMomentGoOnFromTheirCheckpoints)
{
    const int kills = killAndContinue({"--jobs", "4"}, {"--jobs", "4"}, 40, 150, 6);
    reportKills("jobs_kills", kills);
}

TEST_F(LongRunCommand, TheSteppedSearchKilledAtAnyMomentGoesOnFromItsCheckpoints)
{
    // A continued search takes the saved interval: --interval goes with a
    // fresh start only.
    const int kills = killAndContinue({"--interval", "1"}, {}, 6, 0, 2);
    reportKills("stepped_kills", kills);
}

TEST_F(LongRunCommand, RenderersKilledUnderAJobsRunLoseNoLineSilently)
{
    const unsigned seed = testSeed();
    SCOPED_TRACE("LINKTRAWL_TEST_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    const int pages = 40;
    makeList(pages, 150);

    QProcess p;
    start(p, {"--jobs", "4", "--format", "jsonl", "list.txt"});
    const auto pid = static_cast<pid_t>(p.processId());
    int kills = 0;
    for (int i = 0; i < 5; ++i) {
        QTest::qWait(std::uniform_int_distribution<int>(100, 700)(random));
        std::vector<pid_t> renderers;
        const bool found = QTest::qWaitFor(
            [&] { return !(renderers = renderersOf(pid)).empty() || p.state() != QProcess::Running; }, 30000);
        if (!found || renderers.empty())
            break;
        const pid_t victim = renderers[std::uniform_int_distribution<std::size_t>(0, renderers.size() - 1)(random)];
        if (::kill(victim, SIGKILL) == 0)
            ++kills;
    }
    Outcome r = finish(p, 120000);
    ASSERT_GE(kills, 1) << "the run ended before a renderer could be killed";
    expectNoEngineProcessLeft();

    // Lines reported on standard error, with their addresses.
    std::map<long long, int> reported;
    const std::regex report(R"(line (\d+) \(([^)]*)\): )");
    for (auto it = std::sregex_iterator(r.err.begin(), r.err.end(), report); it != std::sregex_iterator(); ++it) {
        const long long line = std::stoll((*it)[1]);
        ASSERT_GE(line, 1);
        ASSERT_LE(line, pages);
        EXPECT_EQ((*it)[2], lines_[static_cast<std::size_t>(line - 1)]);
        ++reported[line];
    }
    const std::vector<Record> records = parseRecords(r.out);
    std::map<long long, std::vector<Record>> byLine;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(records[i - 1].line, records[i].line) << "out of list order at " << records[i];
        }
        byLine[records[i].line].push_back(records[i]);
    }
    for (long long line = 1; line <= pages; ++line) {
        if (reported.count(line)) {
            EXPECT_THAT(byLine[line], IsEmpty()) << "line " << line << " is reported, yet has links";
        } else {
            EXPECT_EQ(byLine[line], expected(line, line)) << "line " << line;
        }
    }
    EXPECT_EQ(r.exitCode, reported.empty() ? 0 : 3) << r.err;
    const auto progress = progressLines(dir.file("linktrawler.ini"));
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[1], std::to_string(pages));
    RecordProperty("renderer_kills", kills);
    RecordProperty("lines_reported", static_cast<int>(reported.size()));
    std::cout << "[ kills    ] renderers: " << kills << ", lines reported: " << reported.size() << std::endl;
}

TEST_F(LongRunCommand, NoEngineProcessOutlivesTheCommand)
{
    makeList(8, 300);
    for (const QStringList& search : {QStringList{"--jobs", "4"}, QStringList{"--interval", "1"}}) {
        SCOPED_TRACE(search.join(' ').toStdString());
        QProcess p;
        start(p, search + QStringList{"list.txt"});
        // The engine's processes are seen while the command runs.
        const auto command = static_cast<pid_t>(p.processId());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const auto all = engineProcesses();
                return std::any_of(all.begin(), all.end(), [&](pid_t pid) { return pid != command; });
            },
            30000));
        Outcome r = finish(p);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, asText(expected(1, 8)));
        expectNoEngineProcessLeft();
    }
}

namespace {

// A search saved before, of another list, stopped after line 2 of 4, in the
// program folder (or a state folder) whose position a run cannot write over.
class UnsavablePosition : public LongRunCommand {
protected:
    void SetUp() override
    {
        LongRunCommand::SetUp();
        const std::string oldList = list({addPage(1, 0), addPage(2, 0), addPage(3, 0), addPage(4, 0)}, "old.txt");
        oldProgress_ = oldList + "\r\n2\r\n4\r\nwebno\r\n1\r\nfilterno\r\n";
        oldRest_ = asText(expected(3, 4));
        saveOldSearch();
    }

    // Moves the saved search into the state folder DIR of --state-dir.
    void useStateFolder(const std::string& name)
    {
        ASSERT_EQ(::mkdir(dir.file(name).c_str(), 0777), 0);
        ASSERT_EQ(::mkdir(dir.file(name + "/engine").c_str(), 0777), 0);
        for (const char* file : {"linktrawler.ini", "linktrawlok.ini", "linktrawlno.ini"})
            QFile::remove(QString::fromStdString(dir.file(file)));
        folder_ = name + "/";
        stateArgs_ = {"--state-dir", QString::fromStdString(name)};
        saveOldSearch();
    }

    void saveOldSearch() const
    {
        dir.write(folder_ + "linktrawler.ini", oldProgress_);
        dir.write(folder_ + "linktrawlok.ini", "http://");
        dir.write(folder_ + "linktrawlno.ini", "#");
    }

    std::string stateFile(const std::string& name) const { return dir.file(folder_ + name); }

    void expectSavedSearchUnspoilt() const
    {
        EXPECT_EQ(readFile(stateFile("linktrawler.ini")), oldProgress_);
        EXPECT_EQ(readFile(stateFile("linktrawlok.ini")), "http://");
        EXPECT_EQ(readFile(stateFile("linktrawlno.ini")), "#");
        const QStringList names = QDir(QString::fromStdString(dir.file(folder_)))
                                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_EQ(names.filter(QStringLiteral(".~lt")), QStringList{}) << "temporaries left behind";
    }

    // Once its position may be written again, the saved search goes on
    // from where it stopped.
    void expectSavedSearchGoesOn()
    {
        ASSERT_EQ(::chmod(dir.file(folder_).c_str(), 0755), 0);
        ASSERT_EQ(::chmod(stateFile("linktrawler.ini").c_str(), 0644), 0);
        Outcome r = run(QStringList{"--continue"} + stateArgs_);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, oldRest_);
    }

    // A --jobs run that only its checkpoint can end: line 2 never answers.
    QStringList endlessJobsRun()
    {
        HttpTestServer::Response hung;
        hung.neverAnswers = true;
        server.serve("/hung.html", hung);
        list({addPage(11, 0), server.url("/hung.html"), addPage(13, 0)});
        return QStringList{"--jobs", "2", "--timeout", "3600", "--checkpoint", "1"} + stateArgs_
            + QStringList{"list.txt"};
    }

    // The run stopped, said why, and blamed no page for it.
    static void expectStoppedForThePosition(const Outcome& r)
    {
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_THAT(r.err, HasSubstr("its position cannot be saved"));
        EXPECT_THAT(r.err, Not(HasSubstr("line "))) << "a page is blamed";
    }

    std::string oldProgress_;
    std::string oldRest_;
    std::string folder_; // "" (the program folder) or "NAME/"
    QStringList stateArgs_;
};

} // namespace

TEST_F(UnsavablePosition, AReadOnlyProgressFileStopsTheRunAtItsCheckpoint)
{
    // Refused to root too: a file without write permission is never replaced.
    ASSERT_EQ(::chmod(stateFile("linktrawler.ini").c_str(), 0444), 0);
    Outcome r = run(endlessJobsRun());
    expectStoppedForThePosition(r);
    expectNoEngineProcessLeft();
    expectSavedSearchUnspoilt();

    // The stepped search: twenty pages a second apart, stopped long before
    // their end.
    std::vector<std::string> addresses;
    for (int n = 21; n <= 40; ++n)
        addresses.push_back(addPage(n, 0));
    list(addresses);
    r = run({"--interval", "1", "--checkpoint", "1", "list.txt"});
    expectStoppedForThePosition(r);
    expectNoEngineProcessLeft();
    expectSavedSearchUnspoilt();
    expectSavedSearchGoesOn();
}

TEST_F(UnsavablePosition, AnUnsavablePositionStopsTheRunAsItStarts)
{
    ASSERT_EQ(::chmod(stateFile("linktrawler.ini").c_str(), 0444), 0);
    list({addPage(11, 0), addPage(12, 0), addPage(13, 0)});
    // The position is saved as the search starts, long before its first
    // checkpoint: a run that could not save it stops before any page.
    for (const QStringList& search : {QStringList{"--jobs", "2"}, QStringList{"--interval", "1"}}) {
        SCOPED_TRACE(search.join(' ').toStdString());
        Outcome r = run(search + QStringList{"--checkpoint", "3600", "list.txt"});
        expectStoppedForThePosition(r);
        EXPECT_EQ(r.out, "");
        expectSavedSearchUnspoilt();
    }
    expectSavedSearchGoesOn();
}

TEST_F(UnsavablePosition, AReadOnlyStateFolderStopsTheRunAtItsCheckpoint)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only folder; the read-only progress file stands for it";
    useStateFolder("state");
    ASSERT_EQ(::chmod(dir.file("state").c_str(), 0555), 0);
    Outcome r = run(endlessJobsRun());
    expectStoppedForThePosition(r);
    expectNoEngineProcessLeft();
    expectSavedSearchUnspoilt();
    expectSavedSearchGoesOn();
}
