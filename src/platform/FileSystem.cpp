#include "platform/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

FileIdentity ReadFileIdentity(const QString& path)
{
    struct stat st = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

std::vector<FolderEntry> ReadFolderEntries(const QString& folder, int* error)
{
    std::vector<FolderEntry> entries;
    if (error)
        *error = folder.isEmpty() ? ENOENT : 0;
    if (folder.isEmpty())
        return entries;
    QByteArray prefix = QFile::encodeName(folder);
    if (!prefix.endsWith('/'))
        prefix += '/';
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.constData()), ::closedir);
    if (!dir) {
        if (error)
            *error = errno;
        return entries;
    }
    while (const dirent* d = ::readdir(dir.get())) {
        const QByteArray bytes(d->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        FolderEntry entry;
        entry.name = QFile::decodeName(bytes);
        entry.decodable = QFile::encodeName(entry.name) == bytes;
        entry.isFolder = d->d_type == DT_DIR;
        // The kind a link points to, or one the file system did not give, costs a question.
        if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
            struct stat st = {};
            entry.isFolder = ::stat((prefix + bytes).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}
