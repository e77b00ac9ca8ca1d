#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/index/index_format.h"
#include "engine/index/index_writer.h"
#include "platform/cache_files.h"

namespace vsr::engine::index {

// Why an index can't be used; all but Ok mean it is built again.
enum class IndexState { Ok, Missing, Damaged, OtherVersion, OtherUser, OtherScope };

// An index file's bytes, checked whole before any of it is believed: its header, where its
// parts lie, their hashes and the order of paths and trigrams. Every posting list is checked
// again when it is read.
class IndexView {
public:
    // `expected`: the scope a search wants (null: any).
    IndexState parse(std::string_view bytes, const IndexScope* expected);

    std::uint32_t fileCount() const { return header_.fileCount; }
    std::uint32_t gramCount() const { return header_.gramCount; }
    IndexScope scope() const;
    // The file with `path` (relative to the root), or nothing.
    std::optional<std::uint32_t> find(std::string_view path) const;
    FileRecord record(std::uint32_t id) const;
    std::string_view path(std::uint32_t id) const;

    enum class Postings { Ok, Damaged };
    // The files holding `gram`, ascending (empty when none does).
    Postings postings(std::uint32_t gram, std::vector<std::uint32_t>& out) const;
    // The trigram of place `i` (below gramCount(), ascending) and the files holding it.
    std::uint32_t gramAt(std::uint32_t i) const { return gramEntry(i).gram; }
    Postings postingsAt(std::uint32_t i, std::vector<std::uint32_t>& out) const;

private:
    GramEntry gramEntry(std::uint32_t i) const;
    std::string_view bytes_;
    IndexHeader header_{};
};

// An index file mapped into memory, checked as it is opened.
class IndexReader {
public:
    static std::unique_ptr<IndexReader> open(const std::string& file, const IndexScope& expected, IndexState& state);
    const IndexView& view() const { return view_; }

private:
    std::unique_ptr<platform::MappedFile> file_;
    IndexView view_;
};

}  // namespace vsr::engine::index
