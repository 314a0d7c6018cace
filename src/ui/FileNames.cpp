#include "ui/FileNames.h"

#include "text/TextEncoding.h"

#include <QFile>
#include <QStringList>
#include <dirent.h>
#include <sys/stat.h>

namespace lt {

namespace {

std::string bytesOf(const QByteArray& a)
{
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name reads as part, the way Qt reads it or the
// way the user is shown it; otherwise.
std::string entryReadAs(const std::string& folder, const QString& part, std::string otherwise)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return otherwise;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (QFile::decodeName(QByteArray::fromStdString(name)) == part || readableFileName(name) == part) {
            otherwise = name;
            break;
        }
    }
    ::closedir(dir);
    return otherwise;
}

} // namespace

QString readableFileName(const std::string& bytes)
{
    return QString::fromStdString(decodeFileText(std::string(bytes)));
}

std::string fileSystemName(const QString& name)
{
    const std::string direct = bytesOf(QFile::encodeName(name));
    if (exists(direct))
        return direct;
    std::string path;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        if (parts[i].isEmpty())
            continue;
        std::string part = bytesOf(QFile::encodeName(parts[i]));
        if (!exists(path + part))
            part = entryReadAs(path.empty() ? "." : path, parts[i], std::move(part));
        path += part;
    }
    return path;
}

} // namespace lt
