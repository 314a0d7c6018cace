#pragma once
#include <string>

namespace lt {

// The folder a run of the command keeps its files in: the progress and
// filter files and, with --state-dir, the engine's profile (in "engine"
// below it). The folder is held for the whole run, so a second run on it
// refuses instead of sharing the files and the profile.
class StateFolder {
public:
    // dir: the --state-dir (created when missing), or empty for the program
    // folder and the engine's usual profile. Raises lt::Error when the
    // folder cannot be made or another run holds it.
    explicit StateFolder(const std::string& dir);
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    // With a trailing "/".
    const std::string& filesFolder() const { return files_; }
    // Empty for the engine's usual profile folder.
    const std::string& engineFolder() const { return engine_; }

private:
    std::string files_;
    std::string engine_;
    int lock_ = -1;
};

} // namespace lt
