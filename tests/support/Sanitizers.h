#pragma once

// Which sanitizer the tests are built with: gcc says it with __SANITIZE_*__,
// clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define TAVRIN_TEST_ASAN 1
#endif
#if defined(__SANITIZE_THREAD__)
#define TAVRIN_TEST_TSAN 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRIN_TEST_ASAN 1
#endif
#if __has_feature(thread_sanitizer)
#define TAVRIN_TEST_TSAN 1
#endif
#endif
