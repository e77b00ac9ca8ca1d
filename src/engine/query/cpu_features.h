#pragma once

namespace vsr::engine {

#if defined(__x86_64__)
// Whether this processor runs AVX2 instructions; asked once.
inline bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

}  // namespace vsr::engine
