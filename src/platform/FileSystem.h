#pragma once

#include <QHashFunctions>
#include <QSet>
#include <QString>

#include <cstdint>
#include <vector>

// What tells one file from another however it is reached: through a link, a
// bind mount or another spelling of its path. On this system that is the
// device and the inode once links are followed; a Windows build would take
// the volume serial number and the file index here.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known = false; // false when the system could not be asked (a file gone, a folder without rights)

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

inline size_t qHash(const FileIdentity& id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode, id.known);
}

// One question to the system per call. error, when given, gets the system's
// error number when it could not be asked, else 0.
FileIdentity ReadFileIdentity(const QString& path, int* error = nullptr);
// The identity of the file open as fd: the file read, whatever its path
// names by the time it is asked.
FileIdentity ReadOpenFileIdentity(int fd);

// Whether both identities are known and equal: two files the system could not
// tell about are never taken for one.
inline bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    return a.known && b.known && a == b;
}

// One entry of a folder as the system names it.
struct FolderEntry
{
    QString name;            // bytes that are not UTF-8 show as \xNN, so the user can tell which entry is meant
    bool decodable = true;   // false: the name above does not lead back to the entry, so it cannot be opened
    bool isFolder = false;   // links followed; a broken link is no folder
};

// The entries of the folder, "." and ".." left out, in no particular order.
// Read at the byte level, since the usual listing drops names it cannot
// decode without a word. The folder is opened once and known by the open
// folder's identity: one already in `seen` is not listed again, another is
// added to it. `error` gets 0, or the system's error number when the folder
// could not be opened, or when its listing was cut short (the entries read
// until then are kept).
std::vector<FolderEntry> ReadFolderEntries(const QString& folder, QSet<FileIdentity>& seen, int* error = nullptr);
