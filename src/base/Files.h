#pragma once
#include <string>
#include <string_view>

namespace lt {

// True when a file (not a folder) exists at path.
bool fileExists(const std::string& path);

// The path made absolute against the working folder.
std::string absolutePath(const std::string& path);

// True when both paths name one existing file (same device and inode).
bool sameFile(const std::string& a, const std::string& b);

// Deletes a file; the result is for callers that look at it.
bool deleteFile(const std::string& path);

// Writes all of data to the open file, going on after interruptions and
// partial writes; 0, or the errno of the failure. written, when given,
// receives how many bytes reached the file, also on failure.
int writeAll(int fd, std::string_view data, std::size_t* written = nullptr);

// The whole file as raw bytes; false with errno when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, int& errnum);

enum class WriteErrors {
    Runtime,      // the runtime's file messages ("File access denied", "Disk full", ...)
    CannotCreate, // "Cannot create file %s"
};

// Replaces the file's contents with text through an AtomicFile, so the file
// is never seen missing or half-written.
void writeFileAtomic(const std::string& path, std::string_view text, WriteErrors style);

} // namespace lt
