#include "results/row_formatter.h"

#include <chrono>

namespace vsr::results {

RowFormatter::RowFormatter(const RowServices& services)
    : services_(services),
      separator_(services.formats.decimalSeparator()),
      fractions_(services.formats.timeShowsFractions()) {}

const std::string& RowFormatter::timeText(platform::FileTime t) {
    using namespace std::chrono;
    const auto sinceEpoch = t.time_since_epoch();
    if (sinceEpoch.count() < 0) {
        // Before 1970 the formats disagree on how a part of a second rounds: no reuse there.
        once_ = results::timeText(t, services_.formats);
        return once_;
    }
    // Every time within one second (one millisecond) shows the same text.
    const std::int64_t key = fractions_ ? duration_cast<milliseconds>(sinceEpoch).count()
                                        : duration_cast<seconds>(sinceEpoch).count();
    KeptTime& kept = times_[static_cast<std::uint64_t>(key) % times_.size()];
    if (!kept.used || kept.key != key) {
        kept.text = results::timeText(t, services_.formats);
        kept.key = key;
        kept.used = true;
    }
    return kept.text;
}

void RowFormatter::fillFileColumns(ResultItem& item, const platform::FileInfo& info) {
    item.attributes = attributesText(info.attributes);
    item.time = timeText(info.lastWrite);
    item.lastWrite = info.lastWrite;
    item.size = sizeText(info.size, separator_);
    item.bytes = info.size;
    item.type = typeText(item, services_.typeNames);
}

}  // namespace vsr::results
