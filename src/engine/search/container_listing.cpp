#include "engine/search/container_listing.h"

#include <chrono>
#include <new>

#include "containers/archive_reader.h"
#include "containers/container_sniff.h"
#include "containers/document_text.h"
#include "containers/member_path.h"
#include "engine/decode/container_text.h"

namespace vsr::engine {

namespace {

void splitMemberPath(const std::string& path, std::string& dir, std::string& name) {
    const std::size_t slash = path.rfind('/');
    dir.assign(path, 0, slash == std::string::npos ? 0 : slash);
    name.assign(path, slash == std::string::npos ? 0 : slash + 1);
}

// Hands the members that pass the run's tests to the matcher, one at a time, and names what
// the reader cut off or passed over.
class MemberMatcher final : public containers::ContainerVisitor {
public:
    explicit MemberMatcher(ContainerListing& listing) : listing_(listing) {}

    void member(const containers::Member& m, containers::MemberContent& content) override {
        if (m.kind != containers::MemberKind::File || listing_.run().stopped()) return;
        // Without subfolders an archive in the folder is searched as one more level, not as a
        // tree: its own folders are subfolders like any other.
        if (m.withinFolder && !listing_.run().conditions().includeSubfolders) return;
        splitMemberPath(m.path, dir_, entry_.name);
        const platform::FileTime time = std::chrono::system_clock::from_time_t(static_cast<std::time_t>(m.mtime));
        // A size the archive does not record is known once the member is read.
        bool read = false;
        containers::ReadOutcome outcome;
        if (!m.size) {
            outcome = content.read(bytes_);
            read = true;
        }
        const std::uint64_t size = m.size ? *m.size : bytes_.size();
        if (!listing_.passesFilters(dir_, entry_.name, size, time)) return;
        if (!read) outcome = content.read(bytes_);
        if (outcome.end == containers::ReadEnd::Stopped || outcome.end == containers::ReadEnd::Failed) return;
        entry_.kind = platform::EntryKind::File;
        entry_.infoLoaded = true;
        entry_.info = {};
        entry_.info.size = size;
        entry_.info.lastWrite = time;
        const bool document = m.form == containers::MemberForm::DocumentText;
        if (document) markDocumentText(bytes_);
        listing_.matchServed(dir_, entry_, bytes_, document ? TextKind::Document : TextKind::ArchiveMember);
    }

    void status(const std::string& path, const std::string& text) override {
        ++statuses;
        std::string dir, name;
        splitMemberPath(path, dir, name);
        listing_.run().notSearched(dir, name, text);
    }

    int statuses = 0;

private:
    ContainerListing& listing_;
    std::string dir_;
    platform::DirEntry entry_;
    std::string bytes_;
};

}  // namespace

ContainerListing::ContainerListing(SearchRun& run, std::unique_ptr<ContentMatcher> inner, const WalkFilters& filters,
                                   const containers::ReadLimits& limits)
    : run_(run), inner_(std::move(inner)), filters_(filters), limits_(limits) {}

bool ContainerListing::listedItself(const platform::DirEntry& entry) const {
    if (!run_.masks().matchesName(entry.name)) return false;
    if (!filters_.infoFiltersOn()) return true;
    return entry.infoLoaded && filters_.passesInfo(entry.info.size, entry.info.lastWrite);
}

bool ContainerListing::passesFilters(const std::string& dir, std::string_view name, std::uint64_t size,
                                     platform::FileTime lastWrite) const {
    return !filters_.directoryIgnored(dir) && run_.masks().matchesName(name) && !filters_.fileIgnored(name) &&
           filters_.passesInfo(size, lastWrite);
}

void ContainerListing::matchServed(const std::string& dir, platform::DirEntry& entry, std::string_view bytes,
                                   TextKind kind) {
    run_.serve(&bytes, kind);
    try {
        inner_->matchFile(dir, entry);
    } catch (const std::bad_alloc&) {
        run_.releaseBuffers();
        inner_->releaseMemory();
    }
    run_.serve(nullptr);
    // Each member's bytes stop counting against the read budget once it is matched.
    run_.endFile();
}

void ContainerListing::matchDocument(const std::string& dir, platform::DirEntry& entry) {
    const std::string path = run_.fullPath(dir, entry.name);
    const containers::ReadOutcome outcome = containers::documentFileText(path, limits_, run_.stopFlag(), text_);
    if (outcome.end == containers::ReadEnd::Stopped) return;
    if (outcome.end != containers::ReadEnd::Whole) run_.notSearched(dir, entry.name, outcome.status);
    if (outcome.end == containers::ReadEnd::Failed) return;
    markDocumentText(text_);
    matchServed(dir, entry, text_, TextKind::Document);
    std::string().swap(text_);
}

void ContainerListing::matchFile(const std::string& dir, platform::DirEntry& entry) {
    const bool listed = listedItself(entry);
    if (!run_.readHead(dir, entry, containers::kSniffBytes, head_)) {
        // No file by that name: a member listed before, searched again in the results.
        if (!entry.infoLoaded) {
            if (std::optional<ContainerContent> member = containerContent(run_.fullPath(dir, entry.name), run_.stopFlag())) {
                const platform::FileTime time =
                    std::chrono::system_clock::from_time_t(static_cast<std::time_t>(member->mtime));
                if (!passesFilters(dir, entry.name, member->size, time)) return;
                entry.kind = platform::EntryKind::File;
                entry.infoLoaded = true;
                entry.info = {};
                entry.info.size = member->size;
                entry.info.lastWrite = time;
                matchServed(dir, entry, member->bytes, member->kind);
                return;
            }
        }
        // Unreadable: the matcher passes it over as it does any file it cannot read.
        if (listed) inner_->matchFile(dir, entry);
        return;
    }
    const containers::ContainerType type = containers::classify(entry.name, head_);
    if (type == containers::ContainerType::Pdf || type == containers::ContainerType::OfficeXml) {
        if (listed) matchDocument(dir, entry);
        return;
    }
    if (type == containers::ContainerType::Archive) {
        const std::string path = run_.fullPath(dir, entry.name);
        MemberMatcher members(*this);
        const containers::ArchiveEnd end = containers::readArchive(path, limits_, run_.stopFlag(), members);
        // Bytes that only looked like an archive are a file like any other.
        if (end.opened || members.statuses > 0 || !listed) return;
    } else if (!listed) {
        return;
    }
    inner_->matchFile(dir, entry);
}

}  // namespace vsr::engine
