#include "search/ProgressFile.h"

#include "base/AtomicFile.h"
#include "base/Files.h"
#include "text/IntegerText.h"
#include "base/IoErrors.h"
#include "text/LineReader.h"
#include "text/MemoLines.h"
#include "text/TextEncoding.h"

namespace lt {

bool ProgressFile::progressFileExists() const
{
    return fileExists(progressPath());
}

void ProgressFile::removeLeftovers() const
{
    for (const char* name : {kProgressFileName, kMustContainFileName, kMustNotContainFileName})
        AtomicFile::removeLeftovers(folder_ + name);
}

void ProgressFile::loadFilterLists(OptionsView& view) const
{
    const struct {
        FilterList list;
        const char* name;
    } files[] = {{FilterList::MustContain, kMustContainFileName},
                 {FilterList::MustNotContain, kMustNotContainFileName}};
    for (const auto& f : files) {
        const std::string path = folder_ + f.name;
        if (!fileExists(path))
            continue;
        std::string raw;
        int err = 0;
        if (!readWholeFile(path, raw, err))
            throwCannotOpen(path);
        view.setFilterText(f.list, normaliseLineBreaks(decodeFileText(std::move(raw))));
    }
}

void ProgressFile::loadProgress(OptionsView& view, std::int32_t& position, std::int32_t& total) const
{
    LineReader in(progressPath());
    // The reader closes the file however this ends. The list's path comes
    // back byte for byte: a file name is bytes, whatever the file's encoding.
    view.setAddressListPath(in.readLineBytes());
    position = strToInt(in.readLine());
    total = strToInt(in.readLine());
    view.setOwnSiteOption(in.readLine() == "webyes");
    view.setInterval(strToInt(in.readLine()));
    view.setFilterOption(in.readLine() == "filteryes");
    in.close();
}

void ProgressFile::writeFilterLists(const OptionsView& view) const
{
    writeFileAtomic(folder_ + kMustContainFileName, toCrLf(view.filterText(FilterList::MustContain)),
                    WriteErrors::CannotCreate);
    writeFileAtomic(folder_ + kMustNotContainFileName, toCrLf(view.filterText(FilterList::MustNotContain)),
                    WriteErrors::CannotCreate);
}

void ProgressFile::writeProgress(const OptionsView& view, std::int32_t position, std::int32_t total) const
{
    std::string text;
    auto line = [&text](const std::string& s) {
        text += s;
        text += "\r\n";
    };
    line(view.addressListPath());
    line(intToStr(position));
    line(intToStr(total));
    line(view.ownSiteOption() ? "webyes" : "webno");
    line(intToStr(view.interval()));
    line(view.filterOption() ? "filteryes" : "filterno");
    // Written whole and renamed into place, so a failure leaves the old file.
    writeFileAtomic(progressPath(), text, WriteErrors::Runtime);
}

} // namespace lt
