#include "platform/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace {

FileIdentity identityOf(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

// The name with each byte that is not part of a UTF-8 character as \xNN.
QString shownName(const QByteArray& bytes)
{
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
        // A sequence that decodes and gives back its own bytes is one character.
        const QByteArray sequence = bytes.mid(i, length);
        if (length > 0 && sequence.size() == length) {
            const QString character = QString::fromUtf8(sequence);
            if (character.toUtf8() == sequence) {
                shown += character;
                i += length;
                continue;
            }
        }
        shown += QString::asprintf("\\x%02X", lead);
        ++i;
    }
    return shown;
}

// The system's error number, or 0.
int listFolder(const QString& folder, QSet<FileIdentity>& seen, std::vector<FolderEntry>& entries)
{
    if (folder.isEmpty())
        return ENOENT;
    QByteArray prefix = QFile::encodeName(folder);
    if (!prefix.endsWith('/'))
        prefix += '/';
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.constData()), ::closedir);
    struct stat st = {};
    if (!dir || ::fstat(::dirfd(dir.get()), &st) != 0)
        return errno;
    if (seen.contains(identityOf(st)))
        return 0;
    seen.insert(identityOf(st));
    for (;;) {
        // The end of the listing and an error both give no entry; only an error sets errno.
        errno = 0;
        const dirent* d = ::readdir(dir.get());
        if (!d)
            return errno;
        const QByteArray bytes(d->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        FolderEntry entry;
        entry.name = QFile::decodeName(bytes);
        entry.decodable = QFile::encodeName(entry.name) == bytes;
        if (!entry.decodable)
            entry.name = shownName(bytes);
        entry.isFolder = d->d_type == DT_DIR;
        // The kind a link points to, or one the file system did not give,
        // costs a question, asked of the open folder so no path grows too long.
        if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN)
            entry.isFolder = ::fstatat(::dirfd(dir.get()), d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        entries.push_back(std::move(entry));
    }
}

} // namespace

FileIdentity ReadFileIdentity(const QString& path, int* error)
{
    struct stat st = {};
    const int failure = path.isEmpty() ? ENOENT : ::stat(QFile::encodeName(path).constData(), &st) != 0 ? errno : 0;
    if (error)
        *error = failure;
    return failure == 0 ? identityOf(st) : FileIdentity{};
}

FileIdentity ReadOpenFileIdentity(int fd)
{
    struct stat st = {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return identityOf(st);
}

std::vector<FolderEntry> ReadFolderEntries(const QString& folder, QSet<FileIdentity>& seen, int* error)
{
    std::vector<FolderEntry> entries;
    const int failure = listFolder(folder, seen, entries);
    if (error)
        *error = failure;
    return entries;
}
