#pragma once

// A folder that holds only so many files and folders: a tmpfs mounted over it
// with that many inodes, its own root among them, for the object's lifetime.
// Mounting needs the super-user. The mount is made in a mount namespace of
// the calling thread alone, which keeps it from the machine and from the
// process's other threads.

#include <QByteArray>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace testsupport {

class SmallTmpfs
{
public:
    SmallTmpfs(const QByteArray& folder, int inodes)
        : m_folder(folder)
    {
        // The folder keeps its mode, so only what is made in it shows.
        struct stat st {};
        const QByteArray options = "nr_inodes=" + QByteArray::number(inodes) + ",size=1m,mode="
                                   + QByteArray::number(::stat(folder.constData(), &st) == 0 ? st.st_mode & 07777 : 0700, 8);
        m_mounted = ::unshare(CLONE_NEWNS) == 0
                    && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                    && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace testsupport
