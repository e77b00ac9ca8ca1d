#pragma once
// The bytes the program's allocator hands out now, by whichever allocator serves it: a
// sanitizer's runtime replaces the C library's, which then no longer sees a single block.
#include <cstddef>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VSR_TEST_SANITIZER_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VSR_TEST_SANITIZER_HEAP 1
#endif

#ifdef VSR_TEST_SANITIZER_HEAP
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// The sanitizer runtimes' own count; GCC ships the runtime without this header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
#else
#include <malloc.h>
#endif

namespace vsr::test {

inline std::size_t heapInUse() {
#ifdef VSR_TEST_SANITIZER_HEAP
    return __sanitizer_get_current_allocated_bytes();
#else
    // Large blocks are mapped one by one and count here too.
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

// Whether heapInUse() sees an allocation of `bytes` made and held now; a measurement that does
// not would let every bound on the heap pass.
inline bool heapSees(std::size_t bytes) {
    const std::size_t before = heapInUse();
    // Called as a function, not through a new-expression, so the compiler may not leave it out.
    void* probe = ::operator new(bytes);
    const bool seen = heapInUse() >= before + bytes;
    ::operator delete(probe);
    return seen;
}

}  // namespace vsr::test
