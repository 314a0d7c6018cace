#pragma once
#include <string>

namespace lt {

// Folder of the program's files, with a trailing "/": the folder of the
// running executable when the user may write there (a portable copy, the
// build folder) and it is not a system folder such as /usr/bin; otherwise,
// as for a copy installed system-wide, the per-user
// data folder $XDG_DATA_HOME/linktrawler/ (~/.local/share/linktrawler/),
// created when needed.
std::string programFolder();

// The decision itself, for a given executable folder and environment.
std::string chooseProgramFolder(const std::string& executableFolder, const std::string& xdgDataHome,
                                const std::string& home);

// Folder of the running executable, with a trailing "/".
std::string executableFolder();

} // namespace lt
