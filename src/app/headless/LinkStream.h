#pragma once
#include "search/LinkOutput.h"
#include "search/ResultListFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

// Where the command puts every accepted link as it is found: standard
// output in the chosen format and, with --save, a file that replaces its
// target when the run ends. Nothing is held in memory beyond one page.
class LinkStream {
public:
    // saveFile: empty for none; "Cannot create file %s" when it cannot be written.
    LinkStream(int fd, OutputFormat format, const std::string& saveFile);

    // anchorText: the link's visible text, for the formats that carry it.
    void add(std::int64_t line, std::string_view page, std::string_view link, std::string_view anchorText);
    // After each page: what was added reaches the output. Raises OutputError.
    void pageDone();
    // A page's accepted links at once: added, then the page done.
    // anchorTexts: one per link, or none when the format carries none.
    void writePage(std::int64_t line, std::string_view page, const std::vector<std::string>& links,
                   const std::vector<std::string>& anchorTexts);
    // Everything written so far is on the disk: standard output when it is a
    // regular file, and the saved file, which from then on is its target.
    // nextLine: the first line not written yet. Raises OutputError or the
    // saved file's error.
    void checkpoint(std::int64_t nextLine);
    // At the end of the run: the saved file replaces its target.
    void commitSave();

    std::int64_t count() const { return count_; }

private:
    LinkOutput out_;
    std::unique_ptr<ResultListFile> save_;
    std::int64_t count_ = 0;
};

} // namespace lt
