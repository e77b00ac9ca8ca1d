#pragma once
#include <atomic>
#include <cstdint>
#include <string>

namespace vsr::containers {

// How far an untrusted archive or document may take the reader. Every byte an archive expands to,
// at any depth, is charged to one budget per file on disk, so a bomb ends at these bounds and
// never fills memory.
struct ReadLimits {
    // The bytes one member may expand to; the rest of it is cut off.
    std::uint64_t memberBytes = std::uint64_t{128} << 20;
    // The bytes a whole archive, its nested archives included, may expand to.
    std::uint64_t archiveBytes = std::uint64_t{1} << 30;
    // An archive may expand to this many times its own size on disk ...
    std::uint64_t expansionRatio = 100;
    // ... but always to this many bytes, so small archives of repetitive text are read whole.
    std::uint64_t ratioFloorBytes = std::uint64_t{8} << 20;
    // Archives inside archives are opened this deep (the file itself is depth 1).
    int depth = 3;
};

// "128 MiB", "1 GiB", "300 bytes": sizes in the status texts.
std::string sizeText(std::uint64_t bytes);

// The expansion budget of one file on disk and everything inside it.
class ExpansionBudget {
public:
    ExpansionBudget(const ReadLimits& limits, std::uint64_t packedBytes);

    // Charges `bytes`; false when that goes beyond the allowance (nothing is charged then).
    bool charge(std::uint64_t bytes);
    std::uint64_t left() const { return allowance_ - used_; }
    // Why the archive was cut off, once charge() has refused.
    std::string exhaustedText() const;

private:
    std::uint64_t allowance_ = 0;
    std::uint64_t used_ = 0;
    bool byRatio_ = false;
    std::uint64_t ratio_ = 0;
};

inline bool stopped(const std::atomic<bool>& stop) { return stop.load(std::memory_order_relaxed); }

}  // namespace vsr::containers
