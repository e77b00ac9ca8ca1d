#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/modify/modify_prefetch.h"
#include "engine/search/listed_file_step.h"
#include "platform/attribute_changer.h"
#include "durable/file_store.h"

namespace vsr::engine {

// One listed file's modification, made by the search thread that listed it: all a dry run's
// driver needs of the row, without the bytes.
struct ModifiedAhead {
    results::ModificationInterval interval;  // the interval it was made for
    std::uint64_t device = 0;                // the file the name led to (0, 0: unknown)
    std::uint64_t inode = 0;
    WriteMarks prep;                    // its marks
    EngineOutcome outcome = EngineOutcome::Failed;
    bool changed = false;  // Done, and the bytes would differ
    std::string note;      // what the content step made of a changed file
    // Message boxes the engine showed for this file (each also stopped the run).
    std::vector<HeldMessage> messages;
    bool stopRequested = false;
};

// A dry run's modification made inside its search: each listed file the search read whole is
// modified from those bytes, on the thread that read them, by the path Modify takes
// (modifyContent with a matcher of the run's query), and its diff made there too. Only the
// outcome and the diff are kept, until the driver takes them in row order; a file the search
// did not hold whole, or one past the cap on the bytes kept, is left for the driver to read and
// modify as it would without this.
class ListedModifications final : public ListedFileStep {
public:
    struct Setup {
        const SearchConditions& conditions;  // those Modify will run with
        ModifyOptions options;
        results::ModificationInterval interval;  // the interval every row will have
        ContentStep step;                        // made of each changed file (the diff)
        durable::FileStore& files;              // only asked for identities, from every thread
        platform::AttributeChanger& attributes;  // only read, from every thread
        std::size_t maxBytes = 64u << 20;        // the most kept at once
    };
    explicit ListedModifications(Setup setup);

    std::unique_ptr<Worker> makeWorker() override;

    // Whether a modification of `path` for `interval` waits to be taken.
    bool has(const std::string& path, const results::ModificationInterval& interval) const;
    // Takes the modification of `path` made for `interval`; nothing when none was made.
    std::optional<ModifiedAhead> take(const std::string& path, const results::ModificationInterval& interval);
    // The bytes the kept modifications hold (their diffs, and a little for each).
    std::size_t heldBytes() const;

private:
    class Modifier;
    // Keeps `row` unless the cap forbids; false when it is not kept.
    bool keep(const std::string& path, ModifiedAhead row);

    const SearchConditions conditions_;
    const ModifyOptions options_;
    const results::ModificationInterval interval_;
    const ContentStep step_;
    durable::FileStore& files_;
    platform::AttributeChanger& attributes_;
    const std::size_t maxBytes_;

    // Looked up by the hash of the name: the standard hash of a string would have the map
    // compare the name with every kept one's while they are few, and names share long prefixes.
    struct NameHash {
        std::size_t operator()(const std::string& name) const { return std::hash<std::string_view>{}(name); }
    };
    mutable std::mutex mutex_;
    std::unordered_map<std::string, ModifiedAhead, NameHash> rows_;
    std::size_t held_ = 0;
};

}  // namespace vsr::engine
