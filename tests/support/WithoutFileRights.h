#pragma once

// Runs fn on a thread of its own that has given up the super-user's rights
// over file permissions. Capabilities belong to each thread, so the rest of
// the process keeps them: a refusal an ordinary user meets can be seen when
// the tests run as root too. (An ordinary user has no such rights to give up.)

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace testsupport {

template <typename Fn>
void runWithoutFileRights(Fn&& fn)
{
    std::thread([&fn] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) == 0) {
            for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
                data[cap / 32].effective &= ~(1u << (cap % 32));
                data[cap / 32].permitted &= ~(1u << (cap % 32));
            }
            syscall(SYS_capset, &header, data);
        }
        fn();
    }).join();
}

// Gives up the same rights on the calling thread while it lives, for code
// that must stay on its thread, as widgets must. They stay permitted and come
// back at its end; root's access() counts them still, faccessat(AT_EACCESS) not.
class WithoutFileRights
{
public:
    WithoutFileRights()
    {
        if (syscall(SYS_capget, &m_header, m_kept) != 0)
            return;
        __user_cap_data_struct data[2];
        std::copy(m_kept, m_kept + 2, data);
        for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            data[cap / 32].effective &= ~(1u << (cap % 32));
        m_dropped = syscall(SYS_capset, &m_header, data) == 0;
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

} // namespace testsupport
