#include "containers/read_limits.h"

#include <algorithm>

namespace vsr::containers {

std::string sizeText(std::uint64_t bytes) {
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024 || bytes % 1024 != 0) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    int unit = -1;
    while (bytes % 1024 == 0 && bytes >= 1024 && unit < 3) {
        bytes /= 1024;
        ++unit;
    }
    return std::to_string(bytes) + " " + kUnits[unit];
}

ExpansionBudget::ExpansionBudget(const ReadLimits& limits, std::uint64_t packedBytes) : ratio_(limits.expansionRatio) {
    const std::uint64_t byRatio =
        packedBytes > UINT64_MAX / std::max<std::uint64_t>(limits.expansionRatio, 1) ? UINT64_MAX
                                                                                        : packedBytes * limits.expansionRatio;
    const std::uint64_t ratioAllowance = std::max(byRatio, limits.ratioFloorBytes);
    byRatio_ = ratioAllowance < limits.archiveBytes;
    allowance_ = std::min(ratioAllowance, limits.archiveBytes);
}

bool ExpansionBudget::charge(std::uint64_t bytes) {
    if (bytes > left()) return false;
    used_ += bytes;
    return true;
}

std::string ExpansionBudget::exhaustedText() const {
    if (byRatio_)
        return "Archive cut off: it expands to more than " + std::to_string(ratio_) + " times its size (" +
               sizeText(allowance_) + "); the rest was not read";
    return "Archive cut off: it expands to more than the limit of " + sizeText(allowance_) +
           " per archive; the rest was not read";
}

}  // namespace vsr::containers
