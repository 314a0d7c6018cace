#pragma once
#include <string>

namespace lt {

// The runtime's messages for file errors, mapped from errno:
// "File not found", "Invalid filename", "Too many open files",
// "File access denied", "Disk full", otherwise "I/O error %d".
std::string ioErrorMessage(int errnum);

[[noreturn]] void throwIoError(int errnum);

// Whole-file loads and saves.
[[noreturn]] void throwCannotOpen(const std::string& path);
[[noreturn]] void throwCannotCreate(const std::string& path);

} // namespace lt
