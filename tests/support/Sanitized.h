#pragma once

// KESTRAVA_SANITIZED is defined in builds with a sanitizer, whose shadow memory an address-space
// limit (RLIMIT_AS, ulimit -v) breaks: tests that measure memory that way skip the limit there.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KESTRAVA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || \
    __has_feature(thread_sanitizer)
#define KESTRAVA_SANITIZED 1
#endif
#endif

// KESTRAVA_THREAD_SANITIZED: ThreadSanitizer alone, which slows single-threaded work tenfold and
// more while it has nothing to find there.
#if defined(__SANITIZE_THREAD__)
#define KESTRAVA_THREAD_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KESTRAVA_THREAD_SANITIZED 1
#endif
#endif
