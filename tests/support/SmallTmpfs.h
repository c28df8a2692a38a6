#pragma once

// A folder that holds only so many files and folders: a tmpfs mounted over it
// with that many inodes, its own root among them, for the object's lifetime.
// Mounting needs the super-user's right to mount (CAP_SYS_ADMIN). The mount
// is made in a mount namespace the calling thread takes for itself, which
// keeps it from the machine and from the threads already running; threads
// the calling thread starts later share that namespace and see it.

#include <QByteArray>

#include <cerrno>

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
        m_error = m_mounted ? 0 : errno;
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    // Not mounted for want of the right to: a test skips then, and fails on
    // any other reason.
    bool refused() const { return m_error == EPERM || m_error == EACCES; }
    int error() const { return m_error; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    int m_error = 0;
};

} // namespace testsupport
