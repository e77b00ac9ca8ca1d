// Fuzz target: reads arbitrary bytes as a project file over a full set of values, then writes
// what was read and reads that again. Besides crashes and sanitizer reports, a second read that
// differs from the first, or a table without a row, is a failure.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/locale_formats.h"
#include "project/project_file.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vsr::platform::FakeLocaleFormats dates;
    vsr::project::ProjectValues values;
    const vsr::project::ProjectRead read = vsr::project::readProjectFile(bytes, dates, values);
    check(!values.batch.rows.empty());
    if (!read.correct || !read.blockDWhole) return 0;
    // A file read whole writes back to a file that reads as the same values.
    vsr::project::ProjectValues again;
    const std::string written = vsr::project::projectFileBytes(values, dates);
    if (vsr::project::readProjectFile(written, dates, again).blockDWhole)
        check(vsr::project::projectFileBytes(again, dates) == written);
    return 0;
}
