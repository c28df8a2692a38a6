#pragma once

// The super-user's rights over file permissions given up, so that a refusal
// an ordinary user meets is seen when the tests run as root too. (An ordinary
// user has no such rights to give up.) Capabilities belong to each thread, so
// the rest of the process keeps them.

#include <QByteArray>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace testsupport {

// Gives up the rights on the calling thread while it lives, for code that
// must stay on its thread, as widgets must. They stay permitted and come back
// at its end; root's access() counts them still, faccessat(AT_EACCESS) not.
class WithoutFileRights
{
public:
    // forGood: from the permitted set too, which root's access() and so Qt's
    // look at a file's rights count; they cannot come back then.
    explicit WithoutFileRights(bool forGood = false)
    {
        if (syscall(SYS_capget, &m_header, m_kept) != 0)
            return;
        __user_cap_data_struct data[2];
        std::copy(m_kept, m_kept + 2, data);
        for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            data[cap / 32].effective &= ~(1u << (cap % 32));
            if (forGood)
                data[cap / 32].permitted &= ~(1u << (cap % 32));
        }
        m_dropped = syscall(SYS_capset, &m_header, data) == 0 && !forGood;
    }
    ~WithoutFileRights()
    {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_kept);
    }
    WithoutFileRights(const WithoutFileRights&) = delete;
    WithoutFileRights& operator=(const WithoutFileRights&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_kept[2]{};
    bool m_dropped = false;
};

// Whether this thread, as it now is, is refused the access (W_OK, R_OK) to
// path. A test that needs the refusal asserts it: for root, false means the
// rights were kept, and a skip would hide that.
inline bool accessRefused(const QByteArray& path, int mode)
{
    return ::faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) != 0;
}

// Runs fn on a thread of its own without the rights, for good.
template <typename Fn>
void runWithoutFileRights(Fn&& fn)
{
    std::thread([&fn] {
        const WithoutFileRights withoutRights(true);
        fn();
    }).join();
}

} // namespace testsupport
