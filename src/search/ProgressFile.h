#pragma once
#include "search/OptionsView.h"

#include <cstdint>
#include <string>

namespace lt {

inline constexpr const char* kProgressFileName = "linktrawler.ini";
inline constexpr const char* kMustContainFileName = "linktrawlok.ini";
inline constexpr const char* kMustNotContainFileName = "linktrawlno.ini";
inline constexpr const char* kTemporaryFileName = "linktrawler.tmp";

// The three files in the program folder that carry a search from one run to
// the next. folder ends with "/". Every operation raises lt::Error on failure.
class ProgressFile {
public:
    explicit ProgressFile(std::string folder) : folder_(std::move(folder)) {}

    const std::string& folder() const { return folder_; }
    std::string progressPath() const { return folder_ + kProgressFileName; }
    bool progressFileExists() const;

    // Each list only from a file that exists; "Cannot open file %s" when it
    // cannot be read, and the second list is then not loaded.
    void loadFilterLists(OptionsView& view) const;
    // Six lines, each applied as soon as it is read; a bad number raises the
    // conversion error with the lines before it applied. The list's path is
    // written and read as the bytes the file system has for it.
    void loadProgress(OptionsView& view, std::int32_t& position, std::int32_t& total) const;
    // Both lists; "Cannot create file %s"; the second is not written when the
    // first fails.
    void writeFilterLists(const OptionsView& view) const;
    // The six lines; the runtime's file error on failure.
    void writeProgress(const OptionsView& view, std::int32_t position, std::int32_t total) const;

    // Removes the temporary files that an interrupted write of the three
    // files left in the folder, and nothing else; never fails.
    void removeLeftovers() const;

private:
    std::string folder_;
};

} // namespace lt
