// linktrawl with --jobs end to end on the real engine: the order of the
// output, bad pages, interrupts and continuing, the output formats parsed
// back, standard input, state folders side by side, GNU parallel, failed
// output and --save.
#include "CommandFixture.h"
#include "CommandOutput.h"
#include "LinkRecord.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gmock/gmock.h>
#include <map>
#include <tuple>
#include <vector>

using namespace lt::test;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

Record parseJsonRecord(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    const QJsonObject object = doc.object();
    EXPECT_TRUE(object.value("line").isDouble()) << text;
    EXPECT_TRUE(object.value("page").isString()) << text;
    EXPECT_TRUE(object.value("link").isString()) << text;
    EXPECT_TRUE(object.value("text").isString()) << text;
    EXPECT_EQ(object.size(), 4) << text;
    return Record{object.value("line").toInteger(), object.value("page").toString().toStdString(),
                  object.value("link").toString().toStdString()};
}

std::vector<Record> parseJsonLines(const std::string& text)
{
    std::vector<Record> records;
    for (const std::string& line : splitLines(text))
        records.push_back(parseJsonRecord(line));
    return records;
}

// The JSON Lines of text whose records belong to list lines first..last.
std::string jsonLinesBetween(const std::string& text, long long first, long long last)
{
    std::string kept;
    for (const std::string& line : splitLines(text)) {
        const long long n = parseJsonRecord(line).line;
        if (n >= first && n <= last)
            kept += line + "\n";
    }
    return kept;
}

std::vector<std::string> linksOf(const std::vector<Record>& records)
{
    std::vector<std::string> links;
    for (const Record& r : records)
        links.push_back(r.link);
    return links;
}

// (page, link) pairs, sorted: what a merged output holds whatever its order.
std::vector<std::pair<std::string, std::string>> sortedPairs(const std::vector<Record>& records)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const Record& r : records)
        pairs.emplace_back(r.page, r.link);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

class ParallelCommand : public CommandFixture {
protected:
    // Page n holds links of every kind the rules meet; its answer is held
    // for delayMs. Returns its address.
    std::string addPage(int n, int delayMs = 0)
    {
        const std::string k = std::to_string(n);
        HttpTestServer::Response r;
        r.body = "<a href='/" + k + "/first'>a</a><a href='/" + k + "/FIRST'>repeat</a>"
                 "<a href='http://other.example/shared'>b</a><a href='https://secure.example/" + k + "'>c</a>"
                 "<a href='mailto:a@example.com'>m</a><a href='/" + k + "/second#frag'>d</a>";
        r.delayMs = delayMs;
        server.serve("/p" + k + ".html", r);
        const std::string address = server.url("/p" + k + ".html");
        accepted_[address] = {server.url("/" + k + "/first"), "http://other.example/shared",
                              server.url("/" + k + "/second#frag")};
        return address;
    }

    // A page whose links no rule accepts.
    std::string addPageWithoutLinks(const std::string& path)
    {
        server.serveHtml(path, "<p>nothing</p><a href='https://secure.example/'>s</a>");
        accepted_[server.url(path)] = {};
        return server.url(path);
    }

    // The list file (CR LF, as the window writes lists); lines are remembered
    // for the expected output.
    std::string list(const std::vector<std::string>& lines, const std::string& name = "list.txt")
    {
        lines_.clear();
        for (const std::string& line : lines)
            lines_.push_back(line.substr(0, line.find(' ')));
        return dir.write(name, listText(lines));
    }

    static std::string listText(const std::vector<std::string>& addresses)
    {
        std::string text;
        for (const std::string& a : addresses)
            text += a + "\r\n";
        return text;
    }

    // What the default rules accept from lines first..last of the list;
    // keep narrows it (as --own-site or --filter would).
    std::vector<Record> expected(int first, int last, const std::function<bool(const std::string&)>& keep = {}) const
    {
        std::vector<Record> records;
        for (int line = first; line <= last; ++line) {
            const std::string& address = lines_.at(static_cast<std::size_t>(line - 1));
            auto it = accepted_.find(address);
            if (it == accepted_.end())
                continue;
            for (const std::string& link : it->second)
                if (!keep || keep(link))
                    records.push_back(Record{line, address, link});
        }
        return records;
    }

    // The lines of the progress file in folder (the program folder when empty).
    std::vector<std::string> savedProgress(const std::string& folder = {}) const
    {
        return splitLines(readFile((folder.empty() ? dir.path() : folder) + "linktrawler.ini"), "\r\n");
    }

    int savedPosition(const std::string& folder = {}) const
    {
        const auto saved = savedProgress(folder);
        return saved.size() > 1 ? std::stoi(saved[1]) : -1;
    }

    bool exists(const std::string& name) const { return QFile::exists(QString::fromStdString(dir.file(name))); }

    std::vector<std::string> lines_;
    std::map<std::string, std::vector<std::string>> accepted_;
};

bool onOwnSite(const std::string& link)
{
    return link.find("127.0.0.1") != std::string::npos;
}

} // namespace

TEST_F(ParallelCommand, JobsWriteTheSteppedSearchsOutputInListOrder)
{
    std::vector<std::string> lines;
    // Later lines answer sooner, so they finish before the ones above them.
    for (int n = 1; n <= 5; ++n)
        lines.push_back(addPage(n, (5 - n) * 250));
    lines[1] += " a note after the address";
    // Lines that show no page of their own, or another page's.
    HttpTestServer::Response noContent;
    noContent.status = 204;
    server.serve("/204", noContent);
    HttpTestServer::Response moved;
    moved.status = 302;
    moved.headers = {{"Location", "/p6.html"}};
    server.serve("/moved", moved);
    addPage(6);
    accepted_[server.url("/moved")] = accepted_[server.url("/p6.html")];
    lines.insert(lines.begin() + 2, {"", "not an address", server.url("/204"), server.url("/moved")});
    const std::string listFile = list(lines);

    Outcome stepped = run({"--interval", "1", "list.txt"});
    ASSERT_EQ(stepped.exitCode, 0) << stepped.err;
    ASSERT_EQ(stepped.out, asText(expected(1, 9)));

    Outcome parallel = run({"--jobs", "3", "list.txt"});
    // "not an address" is read as the site http://not/, which no lookup
    // finds: the stepped search passes over it, --jobs says so.
    ASSERT_EQ(parallel.exitCode, 3) << parallel.err;
    EXPECT_EQ(parallel.err.rfind("linktrawl: line 4 (not): ", 0), 0u) << parallel.err;
    EXPECT_EQ(std::count(parallel.err.begin(), parallel.err.end(), '\n'), 1) << parallel.err;
    EXPECT_EQ(parallel.out, stepped.out);
    const auto saved = savedProgress();
    ASSERT_GE(saved.size(), 3u);
    EXPECT_EQ(saved[0], listFile);
    EXPECT_EQ(saved[1], "9");
    EXPECT_EQ(saved[2], "9");
}

TEST_F(ParallelCommand, AHungPageIsReportedAndTheRunGoesOn)
{
    HttpTestServer::Response hung;
    hung.body = "<a href='/hung/link'>h</a><script>while (true) {}</script>";
    server.serve("/hung.html", hung);
    std::vector<std::string> addresses = {addPage(1), addPage(2), server.url("/hung.html")};
    // Enough lines after it that both slots, the hung page's one too, load
    // more pages once it has been given up; one of them ends its renderer.
    for (int n = 4; n <= 8; ++n)
        addresses.push_back(n == 5 ? "chrome://kill" : addPage(n));
    list(addresses);

    Outcome r = run({"--jobs", "2", "--timeout", "2", "list.txt"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_THAT(r.err, HasSubstr("line 3 (" + server.url("/hung.html") + ")"));
    EXPECT_THAT(r.err, HasSubstr("line 5 (chrome://kill)"));
    EXPECT_THAT(r.err, Not(HasSubstr("line 4 (")));
    // The engine's own log line of chrome://kill stays off without --verbose.
    EXPECT_THAT(r.err, Not(HasSubstr("chrome_debug_urls")));
    EXPECT_EQ(r.out, asText(expected(1, 8)));
    EXPECT_EQ(savedPosition(), 8);
}

TEST_F(ParallelCommand, InterruptedRunsContinueWithoutGapOrRepeat)
{
    // Line 1 answers at once, the others slowly: a run stopped at its first
    // output has pages in flight, and lines left after them.
    std::vector<std::string> addresses = {addPage(1)};
    for (int n = 2; n <= 6; ++n)
        addresses.push_back(addPage(n, 800));
    list(addresses);
    Outcome whole = run({"--jobs", "2", "--format", "jsonl", "--own-site", "list.txt"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    ASSERT_EQ(parseJsonLines(whole.out), expected(1, 6, onOwnSite));

    QProcess first;
    start(first, {"--jobs", "2", "--format", "jsonl", "--own-site", "list.txt"});
    ASSERT_TRUE(waitForLine(first)) << first.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(first.processId()), SIGINT);
    Outcome interrupted = finish(first);
    ASSERT_EQ(interrupted.exitCode, 130) << interrupted.err;
    const int afterInterrupt = savedPosition();
    ASSERT_GE(afterInterrupt, 1);
    ASSERT_LE(afterInterrupt, 3);
    EXPECT_EQ(interrupted.out, jsonLinesBetween(whole.out, 1, afterInterrupt));

    // Continued with --jobs, and stopped again, by SIGTERM this time.
    QProcess second;
    start(second, {"--continue", QString::number(afterInterrupt), "--jobs", "1", "--format", "jsonl"});
    ASSERT_TRUE(waitForLine(second)) << second.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(second.processId()), SIGTERM);
    Outcome terminated = finish(second);
    ASSERT_EQ(terminated.exitCode, 130) << terminated.err;
    const int afterTerminate = savedPosition();
    ASSERT_GT(afterTerminate, afterInterrupt);
    ASSERT_LT(afterTerminate, 6);
    EXPECT_EQ(terminated.out, jsonLinesBetween(whole.out, afterInterrupt + 1, afterTerminate));

    // The stepped search goes on with what the parallel one saved.
    Outcome rest = run({"--continue", QString::number(afterTerminate), "--format", "jsonl"});
    ASSERT_EQ(rest.exitCode, 0) << rest.err;
    EXPECT_EQ(rest.out, jsonLinesBetween(whole.out, afterTerminate + 1, 6));
    EXPECT_EQ(savedPosition(), 6);
    EXPECT_EQ(interrupted.out + terminated.out + rest.out, whole.out);
}

TEST_F(ParallelCommand, EachFormatParsesBackToTheSameLinks)
{
    // Fields that need quoting or escaping: a comma in the page's address
    // and in links, a backslash in a fragment. (The engine gives links back
    // with quotes percent-encoded, so none reaches the output.)
    server.serveHtml("/odd,page.html", "<a href='/q?a=1,2&amp;b=3'>comma</a><a href='/f#a,b\\c'>backslash</a>"
                                       "<a href='/\xE4\xB8\xAD\xE6\x96\x87'>utf-8</a>");
    const std::vector<std::string> addresses = {addPage(1), server.url("/odd,page.html"), addPage(3)};
    list(addresses);

    Outcome text = run({"--jobs", "2", "list.txt"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::vector<std::string> links = splitLines(text.out);
    ASSERT_THAT(links, Contains(server.url("/q?a=1,2&b=3")));
    ASSERT_THAT(links, Contains(server.url("/f#a,b\\c")));

    Outcome jsonl = run({"--jobs", "2", "--format", "jsonl", "list.txt"});
    ASSERT_EQ(jsonl.exitCode, 0) << jsonl.err;
    const std::vector<Record> fromJson = parseJsonLines(jsonl.out);
    EXPECT_EQ(linksOf(fromJson), links);
    for (const Record& r : fromJson) {
        ASSERT_GE(r.line, 1);
        ASSERT_LE(r.line, 3);
        EXPECT_EQ(r.page, addresses[static_cast<std::size_t>(r.line - 1)]) << r;
    }
    EXPECT_EQ(std::count_if(fromJson.begin(), fromJson.end(), [](const Record& r) { return r.line == 2; }), 3);

    Outcome csv = run({"--jobs", "2", "--format", "csv", "list.txt"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const auto rows = parseCsv(csv.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"line", "page", "link", "text"}));
    std::vector<Record> fromCsv;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u) << i;
        fromCsv.push_back(Record{std::stoll(rows[i][0]), rows[i][1], rows[i][2]});
    }
    EXPECT_EQ(fromCsv, fromJson);

    // The stepped search writes the same records.
    Outcome steppedCsv = run({"--interval", "1", "--format", "csv", "list.txt"});
    ASSERT_EQ(steppedCsv.exitCode, 0) << steppedCsv.err;
    EXPECT_EQ(steppedCsv.out, csv.out);
}

TEST_F(ParallelCommand, StandardInputServesAsTheListAndIsContinuedAsSuch)
{
    const std::string listFile = list({addPage(1), addPage(2), addPage(3), addPage(4)});
    const QByteArray listBytes = QByteArray::fromStdString(listText(lines_));
    const std::string afterTwo = asText(expected(3, 4));
    Outcome fromFile = run({"--jobs", "2", "list.txt"});
    ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
    ASSERT_EQ(fromFile.out, asText(expected(1, 4)));
    // The length of a list on standard input is not known: the progress
    // file keeps 0 for it, not the total of the list searched before.
    const std::vector<std::string> savedForStandardInput = {"/dev/stdin", "4", "0"};
    auto savedListPositionTotal = [this] {
        auto saved = savedProgress();
        saved.resize(3);
        return saved;
    };

    QProcess stepped;
    stepped.setStandardInputFile(QString::fromStdString(listFile));
    start(stepped, {"--interval", "1", "-"});
    Outcome r = finish(stepped);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, fromFile.out);
    EXPECT_EQ(savedListPositionTotal(), savedForStandardInput);

    // Given the same lines again, a continued run goes on after line 2.
    QProcess continued;
    continued.setStandardInputFile(QString::fromStdString(listFile));
    start(continued, {"--continue", "2"});
    r = finish(continued);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, afterTwo);

    QProcess piped;
    start(piped, {"--jobs", "2", "-"});
    piped.write(listBytes);
    piped.closeWriteChannel();
    r = finish(piped);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, fromFile.out);
    EXPECT_EQ(savedListPositionTotal(), savedForStandardInput);

    QProcess continuedJobs;
    start(continuedJobs, {"--continue", "2", "--jobs", "2"});
    continuedJobs.write(listBytes);
    continuedJobs.closeWriteChannel();
    r = finish(continuedJobs);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, afterTwo);
    EXPECT_EQ(savedPosition(), 4);
}

TEST_F(ParallelCommand, JobsApplyTheFilterRulesAndHttpsAsTheSteppedSearch)
{
    std::vector<std::string> addresses;
    for (const std::string k : {"1", "2"}) {
        const std::string own = "https://127.0.0.1:" + std::to_string(server.port());
        server.serveHtml("/f" + k + ".html",
                         "<a href='/keep/" + k + "/a'>a</a><a href='/keep/" + k + "/A'>repeat</a>"
                         "<a href='/keep/" + k + "/b#x'>fragment</a><a href='/drop/" + k + "'>drop</a>"
                         "<a href='http://other.example/keep/" + k + "'>other</a>"
                         "<a href='" + own + "/keep/" + k + "/secure'>own https</a>"
                         "<a href='https://secure.example/keep/" + k + "'>other https</a>");
        addresses.push_back(server.url("/f" + k + ".html"));
    }
    list(addresses);
    const QStringList rules = {"--own-site", "--filter", "--contain", "keep", "--not-contain", "#"};
    const std::string own = "https://127.0.0.1:" + std::to_string(server.port());
    const std::string withHttps = links({"/keep/1/a", own + "/keep/1/secure", "/keep/2/a", own + "/keep/2/secure"});

    Outcome stepped = run(QStringList{"--interval", "1", "--https"} + rules + QStringList{"list.txt"});
    ASSERT_EQ(stepped.exitCode, 0) << stepped.err;
    EXPECT_EQ(stepped.out, withHttps);

    Outcome parallel = run(QStringList{"--jobs", "2", "--https"} + rules + QStringList{"list.txt"});
    ASSERT_EQ(parallel.exitCode, 0) << parallel.err;
    EXPECT_EQ(parallel.out, stepped.out);
    EXPECT_EQ(readFile(dir.file("linktrawlok.ini")), "keep");
    EXPECT_EQ(readFile(dir.file("linktrawlno.ini")), "#");

    Outcome httpOnly = run(QStringList{"--jobs", "2"} + rules + QStringList{"list.txt"});
    ASSERT_EQ(httpOnly.exitCode, 0) << httpOnly.err;
    EXPECT_EQ(httpOnly.out, links({"/keep/1/a", "/keep/2/a"}));
}

TEST_F(ParallelCommand, RunsWithTheirOwnStateFoldersGoSideBySide)
{
    const std::string listFile = list({addPage(1), addPage(2), addPage(3)});
    QProcess a, b;
    start(a, {"--jobs", "2", "--state-dir", "state-a", "list.txt"});
    start(b, {"--jobs", "2", "--state-dir", "state-b/", "list.txt"});
    Outcome ra = finish(a);
    Outcome rb = finish(b);
    ASSERT_EQ(ra.exitCode, 0) << ra.err;
    ASSERT_EQ(rb.exitCode, 0) << rb.err;
    EXPECT_EQ(ra.out, asText(expected(1, 3)));
    EXPECT_EQ(rb.out, ra.out);
    for (const std::string folder : {"state-a/", "state-b/"}) {
        EXPECT_EQ(savedProgress(dir.file(folder)), (std::vector<std::string>{listFile, "3", "3", "webno", "5", "filterno"}))
            << folder;
        EXPECT_TRUE(exists(folder + "linktrawlok.ini")) << folder;
        EXPECT_FALSE(QDir(QString::fromStdString(dir.file(folder + "engine"))).isEmpty()) << folder;
    }
    // Nothing went to the program folder or the usual profile.
    EXPECT_FALSE(exists("linktrawler.ini"));
    EXPECT_FALSE(exists("data/linktrawler/engine"));

    // A run that holds state-a, reading its list from standard input: it
    // waits for its second line until the refused run is over.
    QProcess holder;
    start(holder, {"--jobs", "1", "--state-dir", "state-a", "-"});
    holder.write(QByteArray::fromStdString(server.url("/p1.html") + "\n"));
    ASSERT_TRUE(waitForLine(holder)) << holder.readAllStandardError().toStdString();
    const std::string progressBefore = readFile(dir.file("state-a/linktrawler.ini"));
    const std::string mustContainBefore = readFile(dir.file("state-a/linktrawlok.ini"));

    Outcome refused = run({"--jobs", "1", "--filter", "--contain", "zzz", "--state-dir", "state-a", "list.txt"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("in use by another linktrawl run"));
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(readFile(dir.file("state-a/linktrawler.ini")), progressBefore);
    EXPECT_EQ(readFile(dir.file("state-a/linktrawlok.ini")), mustContainBefore);

    holder.write(QByteArray::fromStdString(server.url("/p2.html") + "\n"));
    holder.closeWriteChannel();
    Outcome held = finish(holder);
    EXPECT_EQ(held.exitCode, 0) << held.err;
    EXPECT_EQ(held.out, asText(expected(1, 2)));
    const auto saved = savedProgress(dir.file("state-a/"));
    ASSERT_GE(saved.size(), 2u);
    EXPECT_EQ(saved[0], "/dev/stdin");
    EXPECT_EQ(saved[1], "2");
}

TEST_F(ParallelCommand, GnuParallelRecipeGivesTheLinksOfOneRun)
{
    if (QStandardPaths::findExecutable("parallel").isEmpty())
        GTEST_SKIP() << "GNU parallel is not installed (scripts/setup.sh installs it)";
    std::vector<std::string> addresses;
    for (int n = 1; n <= 6; ++n)
        addresses.push_back(addPage(n));
    list(addresses);
    Outcome whole = run({"--jobs", "2", "--format", "jsonl", "list.txt"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;

    // The README's recipe, on this machine's two job slots.
    const std::string recipe = "parallel --pipe-part -a list.txt --block -1 -j 2 '" + program +
        " --jobs 2 --format jsonl --state-dir " + dir.file("state") + "-{%} -'";
    QProcess shell;
    start(shell, {"-c", QString::fromStdString(recipe)}, "/bin/sh");
    Outcome merged = finish(shell, 120000);
    ASSERT_EQ(merged.exitCode, 0) << merged.err;
    EXPECT_EQ(sortedPairs(parseJsonLines(merged.out)), sortedPairs(parseJsonLines(whole.out)));
    // Both slots searched a part of the list.
    for (const std::string slot : {"state-1/", "state-2/"}) {
        const auto saved = savedProgress(dir.file(slot));
        ASSERT_GE(saved.size(), 2u) << slot;
        EXPECT_EQ(saved[0], "/dev/stdin");
        EXPECT_GE(std::stoi(saved[1]), 1) << slot;
    }
}

TEST_F(ParallelCommand, AFailedOutputSavesThePositionOfWhatWasWritten)
{
    // The first two lines have nothing to write: the first failed write is
    // line 3's.
    list({addPageWithoutLinks("/none1.html"), addPageWithoutLinks("/none2.html"), addPage(3), addPage(4)});
    for (const QStringList& search : {QStringList{"--jobs", "2"}, QStringList{"--interval", "1"}}) {
        QFile::remove(QString::fromStdString(dir.file("linktrawler.ini")));
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        start(p, search + QStringList{"list.txt"});
        Outcome r = finish(p);
        EXPECT_EQ(r.exitCode, 1) << search.join(' ').toStdString() << r.err;
        EXPECT_THAT(r.err, HasSubstr("cannot write the links"));
        EXPECT_THAT(r.err, HasSubstr("position (2) is saved"));
        EXPECT_EQ(savedPosition(), 2) << search.join(' ').toStdString();
    }
}

TEST_F(ParallelCommand, AReaderThatGoesAwayEndsTheRunQuietly)
{
    // Line 3 answers late, when the reader has taken lines 1 and 2 and gone.
    list({addPage(1), addPage(2), addPage(3, 1500), addPage(4)});
    const std::vector<Record> firstTwo = expected(1, 2);
    const std::size_t lineCount = firstTwo.size();
    QProcess shell;
    start(shell,
          {"-c", QString::fromStdString("\"$0\" --jobs 2 --format jsonl list.txt | head -n " +
                                        std::to_string(lineCount) + "; exit ${PIPESTATUS[0]}"),
           QString::fromStdString(program)},
          "/bin/bash");
    Outcome r = finish(shell);
    EXPECT_EQ(r.exitCode, 141) << r.err;
    EXPECT_EQ(parseJsonLines(r.out), firstTwo);
    EXPECT_THAT(r.err, Not(HasSubstr("linktrawl:")));
    EXPECT_EQ(savedPosition(), 2);
}

TEST_F(ParallelCommand, SaveFileReplacesItsTargetWhenTheRunEnds)
{
    dir.write("found.txt", "old\r\n");
    list({addPage(1), addPage(2), addPage(3, 1500)});
    QProcess p;
    start(p, {"--jobs", "1", "--save", "found.txt", "list.txt"});
    ASSERT_TRUE(waitForLine(p)) << p.readAllStandardError().toStdString();
    EXPECT_EQ(readFile(dir.file("found.txt")), "old\r\n");
    Outcome r = finish(p);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, asText(expected(1, 3)));
    EXPECT_EQ(readFile(dir.file("found.txt")), asText(expected(1, 3), "\r\n"));
    // No temporary file is left beside it.
    const QStringList entries = QDir(QString::fromStdString(dir.path())).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(entries.filter(QStringLiteral("found")), QStringList{QStringLiteral("found.txt")});
}
