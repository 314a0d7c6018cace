#pragma once
#include "base/AtomicFile.h"

#include <string>
#include <string_view>

namespace lt {

// A saved result list: one link per line, each ended by CR LF, the form of
// an address list, so the file can feed the next search. The target is
// replaced only by publish() or commit(); until then it stays as it was.
class ResultListFile {
public:
    ResultListFile(const std::string& path, WriteErrors errors) : file_(path, errors) {}

    void add(std::string_view link)
    {
        file_.write(link);
        file_.write("\r\n");
    }
    // What was added so far is on the disk under the target's name.
    void publish() { file_.publish(); }
    void commit() { file_.commit(); }

private:
    AtomicFile file_;
};

} // namespace lt
