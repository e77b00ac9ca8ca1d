// The index reader on arbitrary bytes: a file in the cache folder may hold anything (a crash
// mid-write on another system, a disk error, another program's file). Whatever it holds, the
// reader refuses it or reads it within its bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/index/index_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vsr::engine::index;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IndexView view;
    if (view.parse(bytes, nullptr) != IndexState::Ok) return 0;
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 0; id < view.fileCount() && id < 64; ++id) {
        const std::string_view path = view.path(id);
        if (view.find(path) != id) __builtin_trap();
        (void)view.record(id);
    }
    // Trigrams taken from the bytes themselves, so some name lists the file has.
    for (std::size_t i = 0; i + 3 <= size && i < 3 * 64; i += 3) {
        const std::uint32_t gram = (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        if (view.postings(gram, ids) == IndexView::Postings::Ok)
            for (std::size_t k = 0; k < ids.size(); ++k)
                if (ids[k] >= view.fileCount() || (k > 0 && ids[k] <= ids[k - 1])) __builtin_trap();
    }
    (void)view.scope();
    return 0;
}
