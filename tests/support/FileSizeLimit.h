#pragma once

// Makes the disk look full for the lifetime of the object: no file of this
// process may grow beyond the given size (RLIMIT_FSIZE), and a write past it
// fails with EFBIG. The limit binds the super-user too, so tests built on it
// run as root as well. SIGXFSZ, which would end the process at the first
// such write, is ignored meanwhile.

#include <sys/resource.h>

#include <csignal>

namespace testsupport {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        if (m_oldHandler != SIG_ERR)
            std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = SIG_ERR;
    bool m_active = false;
};

} // namespace testsupport
