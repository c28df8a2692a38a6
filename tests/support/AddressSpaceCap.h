#pragma once

// Lowers the process's address-space limit for the lifetime of the object, so
// that a reader which trusts a length read from a damaged file and allocates
// gigabytes fails loudly (std::bad_alloc) instead of passing by luck.

#include "support/Sanitizers.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace testsupport {

class AddressSpaceCap
{
public:
    explicit AddressSpaceCap(unsigned long long headroomBytes = 512ull << 20)
    {
#if defined(TAVRIN_TEST_ASAN) || defined(TAVRIN_TEST_TSAN)
        // A sanitizer's allocator ends the program instead of throwing when
        // the cap bites; these tests run capped in the plain build.
        (void)headroomBytes;
        return;
#endif
        if (getrlimit(RLIMIT_AS, &m_saved) != 0)
            return;
        unsigned long long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%llu", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        if (pages == 0)
            return;
        rlimit capped = m_saved;
        const unsigned long long limit = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE)) + headroomBytes;
        if (m_saved.rlim_max != RLIM_INFINITY && limit > m_saved.rlim_max)
            return;
        capped.rlim_cur = limit;
        m_active = setrlimit(RLIMIT_AS, &capped) == 0;
    }
    ~AddressSpaceCap()
    {
        if (m_active)
            setrlimit(RLIMIT_AS, &m_saved);
    }
    AddressSpaceCap(const AddressSpaceCap&) = delete;
    AddressSpaceCap& operator=(const AddressSpaceCap&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
};

} // namespace testsupport
