#include <algorithm>

#include "text/unicode_tables.h"

namespace vsr::text::unicode {

std::span<const CaseMember> caseMembers(char32_t key) {
    const CaseMember* begin = tables::kCaseMembers;
    const CaseMember* end = begin + tables::kCaseMemberCount;
    auto lo = std::lower_bound(begin, end, key, [](const CaseMember& m, char32_t k) { return m.key < k; });
    auto hi = std::upper_bound(lo, end, key, [](char32_t k, const CaseMember& m) { return k < m.key; });
    return {lo, static_cast<std::size_t>(hi - lo)};
}

}  // namespace vsr::text::unicode
