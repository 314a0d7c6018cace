#include "base/IoErrors.h"

#include "base/Error.h"

#include <cerrno>

namespace lt {

std::string ioErrorMessage(int errnum)
{
    switch (errnum) {
    case ENOENT:
        return "File not found";
    case EINVAL:
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errnum);
    }
}

void throwIoError(int errnum)
{
    throw Error(ioErrorMessage(errnum));
}

void throwCannotOpen(const std::string& path)
{
    throw Error("Cannot open file " + path);
}

void throwCannotCreate(const std::string& path)
{
    throw Error("Cannot create file " + path);
}

} // namespace lt
