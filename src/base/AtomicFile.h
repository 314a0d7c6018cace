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
// ("File access denied"). A writer holds a lock on its temporary file while
// it lives, so that a temporary left behind by a crash can be told from one
// being written. A long writer may publish() what it has so far: from then on
// the target is the file being written, and stays whatever becomes of the
// writer.
class AtomicFile {
public:
    AtomicFile(std::string path, WriteErrors errors);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Buffered; raises the file error of the chosen style.
    void write(std::string_view text);
    // What was written so far reaches the disk and the target's name; later
    // writes go on in the same file. Raises the file error of the chosen style.
    void publish();
    // publish() once more, and the file is closed.
    void commit();

    const std::string& path() const { return path_; }

    // Suffix of the temporary files, before their six random characters.
    static constexpr std::string_view kTemporaryMark = ".~lt";

    // Whether name is a temporary file name of a writer of target: target's
    // own name, the mark and six characters of mkstemp's alphabet.
    static bool isTemporaryName(std::string_view name, std::string_view targetName);

    // Removes the temporaries of target that no live writer holds: those a
    // crash left behind. Never anything else: not a file of another name, a
    // link, a folder, nor a temporary being written. Failures are ignored.
    static void removeLeftovers(const std::string& target);

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
