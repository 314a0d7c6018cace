#pragma once
#include <QString>
#include <string>

namespace lt {

// File names between the file system, whose names are bytes, and the
// windows, whose texts are Unicode. Qt reads a name as UTF-8 and puts U+FFFD
// for every byte that is not, so a name in another encoding (GB18030 on a
// disk from the program's original platform) does not survive a file
// dialog as it is.

// A file name as the user reads it: UTF-8 names as they are, any other read
// as GB18030.
QString readableFileName(const std::string& bytes);

// The bytes of the file a window's text names: a part of the path that does
// not name an entry as UTF-8 is looked up in its folder, among the names
// that read as it the way Qt reads them or the way readableFileName shows
// them. A part found nowhere (a file still to be made) is taken as UTF-8.
std::string fileSystemName(const QString& name);

} // namespace lt
