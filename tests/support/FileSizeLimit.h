#pragma once

// Makes the disk look full for the lifetime of the object: no file of this
// process may grow beyond the given size (RLIMIT_FSIZE), and a write past it
// fails with EFBIG. The limit binds the super-user too, so tests built on it
// run as root as well. The signal such a write raises ends the process
// unless it was set aside as the program's start does: the test programs do
// so, but for the window's, whose tests call the program's own set-up.

#include <sys/resource.h>

namespace testsupport {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
};

} // namespace testsupport
