#include "engine/modify/listed_modifications.h"

#include <new>

#include "engine/modify/modify_content.h"

namespace vsr::engine {
namespace {

// What a kept row costs besides its diff: its name, the map's node and the row itself.
constexpr std::size_t kRowOverhead = 160;
constexpr std::size_t kKeptBuffer = 16u << 20;

std::size_t costOf(const std::string& path, const ModifiedAhead& row) {
    std::size_t cost = kRowOverhead + path.size() + row.note.size();
    for (const HeldMessage& m : row.messages) cost += m.caption.size() + m.text.size();
    return cost;
}

}  // namespace

// One search thread's modifier: its own run (messages held, the search's stop looked at
// whenever the engine would let the window process messages), clock and matcher.
class ListedModifications::Modifier final : public ListedFileStep::Worker {
public:
    explicit Modifier(ListedModifications& owner) : owner_(owner) {}

    void listed(const std::string& path, const platform::FileInfo& info, const std::string_view* bytes,
                const std::vector<Occurrence>* found, const std::function<bool()>& stopped) override {
        if (!bytes || stopped()) return;
        try {
            modify(path, info, *bytes, found, stopped);
        } catch (const std::bad_alloc&) {
            // Left for the driver, which meets the same shortage with its own answer.
            if (query_ && query_->matcher()) query_->matcher()->release();
            content_ = {};
        }
        run_.onPump = nullptr;
        run_.messages.clear();
        keepBuffersSmall();
    }
    // The search's occurrences of a phrase spare its scan.
    bool wantsOccurrences() const override { return true; }

private:
    void modify(const std::string& path, const platform::FileInfo& info, std::string_view bytes,
                const std::vector<Occurrence>* found, const std::function<bool()>& stopped) {
        const ListedModifications& o = owner_;
        if (!query_) query_ = std::make_unique<ModifyQuery>(o.conditions_, run_, clock_);
        RunState& state = run_.state;
        state.stop = false;
        run_.messages.clear();
        run_.onPump = [&] {
            if (stopped()) state.stop = true;
        };
        ModifiedAhead row;
        row.interval = o.interval_;
        // The file the search read is the one the name leads to, and its marks are those it
        // read with it; a file system that does not tell which file it is is asked again.
        const MarkedFilesAllowed allowed{o.options_.replaceReadOnly, o.options_.replaceHidden};
        if (info.inode != 0) {
            row.device = info.device;
            row.inode = info.inode;
            row.prep = checkWriteMarks(info.attributes, o.conditions_.createBackups, allowed);
        } else {
            const durable::FileLinks links = o.files_.links(path);
            row.device = links.device;
            row.inode = links.inode;
            row.prep = checkWriteMarks(path, o.conditions_.createBackups, allowed, o.attributes_);
        }
        // The driver refuses the file for its marks before it looks at the contents.
        if (!row.prep.writable()) {
            owner_.keep(path, std::move(row));
            return;
        }
        ModifyContext context(o.conditions_, *query_, run_, run_, clock_);
        // The bytes stay the search's: they are neither copied nor rebuilt where the edits tell
        // the diff.
        modifyEdits(context, bytes, content_, o.interval_, o.options_.separator, found);
        // A file the search's end cut short is of no use: the driver never gets to it.
        if (stopped()) return;
        row.outcome = content_.outcome;
        row.changed = content_.changed();
        if (o.step_ && row.changed) row.note = o.step_(path, bytes, content_);
        row.messages = std::move(run_.messages);
        row.stopRequested = state.stop;
        owner_.keep(path, std::move(row));
    }

    // Buffers above this size go back after their file, so a few huge files do not stay in
    // memory once per thread.
    void keepBuffersSmall() {
        if (content_.original.capacity() > kKeptBuffer) std::string().swap(content_.original);
        if (content_.bytes.capacity() > kKeptBuffer) std::string().swap(content_.bytes);
        if (content_.edits.capacity() > kKeptBuffer / sizeof(TextEdit)) std::vector<TextEdit>().swap(content_.edits);
        if (content_.inserted.capacity() > kKeptBuffer) std::string().swap(content_.inserted);
    }

    ListedModifications& owner_;
    // The file being modified; its buffers serve every file of this thread.
    ModifiedContent content_;
    WorkerRun run_;
    platform::SteadyClock clock_;
    std::unique_ptr<ModifyQuery> query_;
};

ListedModifications::ListedModifications(Setup setup)
    : conditions_(setup.conditions), options_(setup.options), interval_(setup.interval), step_(std::move(setup.step)),
      files_(setup.files), attributes_(setup.attributes), maxBytes_(setup.maxBytes) {}

std::unique_ptr<ListedFileStep::Worker> ListedModifications::makeWorker() { return std::make_unique<Modifier>(*this); }

bool ListedModifications::keep(const std::string& path, ModifiedAhead row) {
    const std::size_t cost = costOf(path, row);
    std::lock_guard lock(mutex_);
    if (held_ + cost > maxBytes_ || rows_.contains(path)) return false;
    held_ += cost;
    rows_.emplace(path, std::move(row));
    return true;
}

bool ListedModifications::has(const std::string& path, const results::ModificationInterval& interval) const {
    std::lock_guard lock(mutex_);
    const auto it = rows_.find(path);
    return it != rows_.end() && it->second.interval == interval;
}

std::optional<ModifiedAhead> ListedModifications::take(const std::string& path,
                                                       const results::ModificationInterval& interval) {
    std::lock_guard lock(mutex_);
    const auto it = rows_.find(path);
    if (it == rows_.end() || !(it->second.interval == interval)) return std::nullopt;
    held_ -= costOf(it->first, it->second);
    std::optional<ModifiedAhead> out = std::move(it->second);
    rows_.erase(it);
    return out;
}

std::size_t ListedModifications::heldBytes() const {
    std::lock_guard lock(mutex_);
    return held_;
}

}  // namespace vsr::engine
