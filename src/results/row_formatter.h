#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "results/row_texts.h"

namespace vsr::results {

// Makes the file columns of the many rows of one run. Files mostly come in groups written in
// the same second (a checkout, an unpacked archive, a folder of generated files), so the time
// texts made last are kept and reused rather than formatting the date and time anew for every
// row; the decimal separator is asked for once. The texts equal fillFileColumns' own.
class RowFormatter {
public:
    explicit RowFormatter(const RowServices& services);

    void fillFileColumns(ResultItem& item, const platform::FileInfo& info);
    // The Time column's text of `t`.
    const std::string& timeText(platform::FileTime t);

private:
    struct KeptTime {
        std::int64_t key = 0;
        bool used = false;
        std::string text;
    };

    RowServices services_;
    std::string separator_;
    bool fractions_ = false;  // the time format shows parts of a second: times differ by less
    std::array<KeptTime, 64> times_{};
    std::string once_;
};

}  // namespace vsr::results
