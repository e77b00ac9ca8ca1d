// Fuzz target: reads arbitrary bytes as a batch file and as "Batch.tmp". Besides crashes and
// sanitizer reports, a table without a row or over the row limit, a cell over 1000 characters
// or with a line break, or a batch file that does not read back as written, is a failure.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "project/batch_file.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkTable(const vsr::project::BatchTable& t) {
    check(!t.rows.empty() && t.rows.size() <= static_cast<std::size_t>(vsr::project::kMaxBatchRows));
    for (const vsr::project::BatchPair& row : t.rows)
        for (const std::string& cell : {row.search, row.replace})
            check(cell.size() <= 4 * vsr::project::kMaxCellLength && cell.find_first_of("\r\n") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vsr::project::BatchTable file;
    const vsr::project::BatchFileRead read = vsr::project::readBatchFile(bytes, file);
    checkTable(file);
    if (read == vsr::project::BatchFileRead::Read) {
        vsr::project::BatchTable again;
        check(vsr::project::readBatchFile(vsr::project::batchFileBytes(file), again) == vsr::project::BatchFileRead::Read);
        check(again.rows == file.rows);
    }
    vsr::project::BatchTable temp;
    vsr::project::readBatchTemp(bytes, temp);
    checkTable(temp);
    return 0;
}
