// linktrawl end to end: the jsonl and csv formats carry each link's visible
// text, in both searches; the text format stays the links alone.
#include "CommandFixture.h"
#include "CommandOutput.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <regex>
#include <tuple>

using namespace lt::test;

namespace {

// line, page, link, text
using Titled = std::tuple<long long, std::string, std::string, std::string>;

std::string repeated(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

std::vector<Titled> fromJsonLines(const std::string& out)
{
    // The fields in this order, and no others.
    static const std::regex shape(R"(\{"line":[0-9]+,"page":"[^"]*","link":"[^"]*","text":".*"\})");
    std::vector<Titled> records;
    for (const std::string& line : splitLines(out)) {
        EXPECT_TRUE(std::regex_match(line, shape)) << line;
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        EXPECT_EQ(o.size(), 4) << line;
        records.push_back(Titled{o.value("line").toInteger(), o.value("page").toString().toStdString(),
                                 o.value("link").toString().toStdString(), o.value("text").toString().toStdString()});
    }
    return records;
}

std::vector<Titled> fromCsv(const std::string& out)
{
    const auto rows = parseCsv(out);
    std::vector<Titled> records;
    if (rows.empty()) {
        ADD_FAILURE() << "no header";
        return records;
    }
    EXPECT_EQ(rows[0], (std::vector<std::string>{"line", "page", "link", "text"}));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].size(), 4u) << i;
        if (rows[i].size() == 4)
            records.push_back(Titled{std::stoll(rows[i][0]), rows[i][1], rows[i][2], rows[i][3]});
    }
    return records;
}

const std::string kLong = repeated("0123456789", 30);         // 300 characters
const std::string kChineseLong = repeated("中文", 125);      // 250 characters, 750 bytes
const std::string kChineseTitle = "拾链宝论坛：第一帖，欢迎";
// 199 characters, then a character outside the BMP (a surrogate pair to
// the page's script) that would be the 200th and 201st.
const std::string kEmojiAtTheCut = repeated("x", 199) + "\xF0\x9F\x98\x80\xF0\x9F\x98\x80";

class AnchorTextCommand : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        server.serveHtml("/board.html",
                         "<ul><li><a href='/thread/1'>\n      Spread   over\n      <b>lines</b>\tand&nbsp;<span>"
                         "nested <i>elements</i></span>\n    </a>"
                         "<li><a href='/thread/1'>the same link again</a>"
                         "<li><a href='/picture'><img src='/picture.png' alt='a picture'></a>"
                         "<li><a href='/long'>" + kLong + "</a>"
                         "<li><a href='/zh/title'>" + kChineseTitle + "</a>"
                         "<li><a href='/zh/long'>" + kChineseLong + "</a>"
                         "<li><a href='/emoji'>" + kEmojiAtTheCut + "</a>"
                         "<li><a href='/hidden' style='display:none'>Not\n   rendered</a>"
                         "<li><a href='/THREAD/1'>the same link in capitals</a>"
                         "<li><a href='/quote'>He said \"yes\", then left</a></ul>");
        server.serveHtml("/second.html", "<a href='/thread/1'>Elsewhere</a><a href='mailto:a@example.com'>mail</a>");
        dir.write("list.txt", server.url("/board.html") + "\n" + server.url("/second.html") + "\n");
    }

    std::vector<Titled> expected() const
    {
        const std::string board = server.url("/board.html");
        return {
            {1, board, server.url("/thread/1"), "Spread over lines and nested elements"},
            {1, board, server.url("/picture"), ""},
            {1, board, server.url("/long"), kLong.substr(0, 200)},
            {1, board, server.url("/zh/title"), kChineseTitle},
            {1, board, server.url("/zh/long"), repeated("中文", 100)},
            {1, board, server.url("/emoji"), repeated("x", 199) + "\xF0\x9F\x98\x80"},
            {1, board, server.url("/hidden"), "Not rendered"},
            {1, board, server.url("/quote"), "He said \"yes\", then left"},
            {2, server.url("/second.html"), server.url("/thread/1"), "Elsewhere"},
        };
    }
};

} // namespace

TEST_F(AnchorTextCommand, JsonLinesAndCsvCarryTheTextOfEachLinkInBothSearches)
{
    const std::string jsonl = outputOf({"--jobs", "2", "--format", "jsonl", "list.txt"});
    EXPECT_EQ(fromJsonLines(jsonl), expected());
    EXPECT_EQ(outputOf({"--interval", "1", "--format", "jsonl", "list.txt"}), jsonl);

    const std::string csv = outputOf({"--jobs", "2", "--format", "csv", "list.txt"});
    EXPECT_EQ(fromCsv(csv), expected());
    EXPECT_EQ(outputOf({"--interval", "1", "--format", "csv", "list.txt"}), csv);
}

TEST_F(AnchorTextCommand, TextOutputIsTheLinksAlone)
{
    EXPECT_EQ(outputOf({"--jobs", "2", "list.txt"}), links({"/thread/1", "/picture", "/long", "/zh/title", "/zh/long",
                                                             "/emoji", "/hidden", "/quote", "/thread/1"}));
}
