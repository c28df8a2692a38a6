// Under AddressSanitizer operator new never throws: a refused allocation ends
// the program with a report, allocator_may_return_null=1 or not, which only
// lets malloc return null. The tests that cap the address space expect
// std::bad_alloc, as the standard library gives it, so under the sanitizer
// new and delete of the tests go through malloc and free, whose blocks the
// sanitizer checks all the same. Linked into each test program itself: in a
// library it would lose to the sanitizer's own.

#include "support/Sanitizers.h"

#if defined(TAVRIN_TEST_ASAN)

#include <cstdlib>
#include <new>

namespace {

void* allocate(std::size_t size) noexcept { return std::malloc(size ? size : 1); }

void* allocateOrThrow(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif
