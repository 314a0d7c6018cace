#pragma once
#include "base/Files.h"

#include <string>
#include <string_view>

namespace lt {

// A file written so that it is never seen missing or half-written: the text
// goes to a temporary file beside the target ("<target>.~lt" and six
// characters), which commit() flushes to disk and renames over the target.
// An uncommitted file is removed when the writer goes; the target stays as
// it was. An existing target that the user may not write is left untouched
// ("File access denied").
class AtomicFile {
public:
    AtomicFile(std::string path, WriteErrors errors);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Buffered; raises the file error of the chosen style.
    void write(std::string_view text);
    void commit();

    const std::string& path() const { return path_; }

    // Suffix of the temporary files, before their six random characters.
    static constexpr std::string_view kTemporaryMark = ".~lt";

private:
    [[noreturn]] void fail(int errnum);
    void flush();

    std::string path_;
    WriteErrors errors_;
    std::string temporary_;
    int fd_ = -1;
    std::string buf_;
};

} // namespace lt
