#include "containers/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "containers/archive_handle.h"
#include "containers/container_sniff.h"
#include "containers/document_text.h"
#include "containers/member_path.h"

namespace vsr::containers {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr int kMaxFailedHeaders = 64;

const char* const kEncryptedMember = "Encrypted member: not read";

std::string damagedText(archive* a) {
    return "Archive damaged or unreadable (" + archiveError(a) + "): the rest of it was not read";
}

MemberKind kindOf(archive_entry* e) {
    if (archive_entry_hardlink(e)) return MemberKind::Link;
    switch (archive_entry_filetype(e)) {
        case AE_IFREG: return MemberKind::File;
        case AE_IFDIR: return MemberKind::Folder;
        case AE_IFLNK: return MemberKind::Link;
        default: return MemberKind::Other;
    }
}

std::string storedName(archive_entry* e) {
    if (const char* utf8 = archive_entry_pathname_utf8(e)) return utf8;
    if (const char* name = archive_entry_pathname(e)) return name;
    return {};
}

bool isRaw(archive* a) { return (archive_format(a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_RAW; }

// Skipping reads nothing only where the archive can step over a member; a compressed stream or
// a solid 7z block must be expanded to get past it, and that is charged and stoppable like a read.
bool skipsCheaply(archive* a) {
    const int base = archive_format(a) & ARCHIVE_FORMAT_BASE_MASK;
    return archive_filter_count(a) <= 1 &&
           (base == ARCHIVE_FORMAT_ZIP || base == ARCHIVE_FORMAT_TAR || base == ARCHIVE_FORMAT_CPIO);
}

class NoContent : public MemberContent {
public:
    ReadOutcome read(std::string& into) override {
        into.clear();
        return {};
    }
};

// Content already in memory: a document's text, or a member taken whole to see if it was an archive.
class HeldContent : public MemberContent {
public:
    HeldContent(std::string& bytes, ReadOutcome outcome) : bytes_(bytes), outcome_(std::move(outcome)) {}
    ReadOutcome read(std::string& into) override {
        into = std::move(bytes_);
        return outcome_;
    }

private:
    std::string& bytes_;
    ReadOutcome outcome_;
};

class EntryData;

class ArchiveWalk {
public:
    ArchiveWalk(const ReadLimits& limits, const std::atomic<bool>& stop, ContainerVisitor& visitor,
                ExpansionBudget& budget, DocumentMembers documents = DocumentMembers::AsText)
        : limits_(limits), stop_(stop), visitor_(visitor), budget_(budget), documents_(documents) {}

    enum class Result { Done, NotAnArchive };

    // Visits the members of an opened archive found at `path`.
    // `inFolder`: the archive itself lies in a folder of the archive holding it.
    Result members(archive* a, const std::string& path, std::int64_t time, int depth, bool inFolder = false);
    bool stopped() const { return stopped_; }

private:
    friend class EntryData;
    void file(EntryData& data, const Member& member, int depth);
    void nested(const Member& member, std::string& bytes, const ReadOutcome& taken, int depth);
    // A document member: its text, as the member's content.
    void document(EntryData& data, const Member& member, std::string& bytes, ContainerType type);
    // Stopped, out of budget, or the visitor has what it came for.
    bool over() const { return stopped_ || exhausted_ || visitor_.finished(); }

    const ReadLimits& limits_;
    const std::atomic<bool>& stop_;
    ContainerVisitor& visitor_;
    ExpansionBudget& budget_;
    DocumentMembers documents_;
    bool stopped_ = false;
    bool exhausted_ = false;
};

// The data of the member libarchive stands on, read in chunks against the member cap, the
// archive's budget and the stop flag. A cut or a failure is reported once, with the member's path.
class EntryData {
public:
    EntryData(archive* a, ArchiveWalk& walk, const std::string& path) : a_(a), walk_(walk), path_(path) {}

    // Appends to `into` until it holds `want` bytes or the data ends (the outcome says how).
    ReadOutcome readUpTo(std::string& into, std::uint64_t want);
    // Passes over the rest of the data.
    void skip();
    bool fatal() const { return fatal_; }
    bool failedForGood() const { return fatal_ && last_.end == ReadEnd::Failed; }

private:
    void end(ReadEnd how, std::string status);

    archive* a_;
    ArchiveWalk& walk_;
    const std::string& path_;
    std::uint64_t taken_ = 0;
    bool ended_ = false;
    bool fatal_ = false;
    ReadOutcome last_;
};

ReadOutcome EntryData::readUpTo(std::string& into, std::uint64_t want) {
    while (!ended_ && into.size() < want) {
        if (stopped(walk_.stop_)) {
            walk_.stopped_ = true;
            ended_ = true;
            last_ = {ReadEnd::Stopped, {}};
            break;
        }
        const std::size_t old = into.size();
        into.resize(old + kChunk);
        const la_ssize_t n = archive_read_data(a_, into.data() + old, kChunk);
        if (n <= 0) {
            into.resize(old);
            ended_ = true;
            if (n < 0) {
                fatal_ = n == ARCHIVE_FATAL;
                end(ReadEnd::Failed, "Member could not be read (" + archiveError(a_) + ")");
            }
            break;
        }
        std::uint64_t keep = static_cast<std::uint64_t>(n);
        std::string cut;
        if (keep > walk_.limits_.memberBytes - taken_) {
            keep = walk_.limits_.memberBytes - taken_;
            cut = "Member cut off at the limit of " + sizeText(walk_.limits_.memberBytes) +
                  " per member; the rest was not read";
        }
        if (!walk_.budget_.charge(keep)) {
            keep = walk_.budget_.left();
            walk_.budget_.charge(keep);
            walk_.exhausted_ = true;
            cut = walk_.budget_.exhaustedText();
        }
        into.resize(old + keep);
        taken_ += keep;
        if (!cut.empty()) {
            ended_ = true;
            end(ReadEnd::Cut, std::move(cut));
        }
    }
    return ended_ ? last_ : ReadOutcome{};
}

void EntryData::end(ReadEnd how, std::string status) {
    last_ = {how, std::move(status)};
    walk_.visitor_.status(path_, last_.status);
}

void EntryData::skip() {
    if (ended_) return;
    ended_ = true;
    if (skipsCheaply(a_)) {
        fatal_ = archive_read_data_skip(a_) == ARCHIVE_FATAL;
        return;
    }
    std::string scratch(kChunk, '\0');
    for (;;) {
        if (stopped(walk_.stop_)) {
            walk_.stopped_ = true;
            return;
        }
        const la_ssize_t n = archive_read_data(a_, scratch.data(), scratch.size());
        if (n <= 0) {
            fatal_ = n == ARCHIVE_FATAL;
            return;
        }
        if (!walk_.budget_.charge(static_cast<std::uint64_t>(n))) {
            walk_.exhausted_ = true;
            return;
        }
    }
}

// A plain member: the bytes read to classify it, then the rest as the visitor asks.
class StreamedContent : public MemberContent {
public:
    StreamedContent(EntryData& data, std::string& head, ReadOutcome headOutcome)
        : data_(data), head_(head), headOutcome_(std::move(headOutcome)) {}
    ReadOutcome read(std::string& into) override {
        into = std::move(head_);
        if (headOutcome_.end != ReadEnd::Whole || into.size() < kSniffBytes) return headOutcome_;
        return data_.readUpTo(into, UINT64_MAX);
    }

private:
    EntryData& data_;
    std::string& head_;
    ReadOutcome headOutcome_;
};

ArchiveWalk::Result ArchiveWalk::members(archive* a, const std::string& path, std::int64_t time, int depth,
                                         bool inFolder) {
    int failedHeaders = 0;
    for (bool first = true;; first = false) {
        if (over()) return Result::Done;
        if (containers::stopped(stop_)) {
            stopped_ = true;
            return Result::Done;
        }
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a, &entry);
        if (r == ARCHIVE_EOF) return Result::Done;
        if (r == ARCHIVE_FAILED || r == ARCHIVE_RETRY) {
            if (++failedHeaders < kMaxFailedHeaders) {
                visitor_.status(path, "A member could not be read (" + archiveError(a) + ")");
                continue;
            }
        }
        if (r < ARCHIVE_WARN) {
            visitor_.status(path, damagedText(a));
            return Result::Done;
        }
        failedHeaders = 0;
        const bool raw = isRaw(a);
        // Claimed an archive by its first bytes, but no reader took it: plain bytes after all.
        if (raw && first && archive_filter_count(a) <= 1) return Result::NotAnArchive;

        Member member;
        const std::string name = raw ? compressedMemberName(path) : cleanMemberName(storedName(entry));
        member.path = joinMemberPath(path, name);
        member.withinFolder = inFolder || name.find('/') != std::string::npos;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) >= 0)
            member.size = static_cast<std::uint64_t>(archive_entry_size(entry));
        member.mtime = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : time;
        member.kind = kindOf(entry);
        member.depth = depth;

        EntryData data(a, *this, member.path);
        if (archive_entry_is_data_encrypted(entry)) {
            visitor_.status(member.path, kEncryptedMember);
        } else if (member.kind != MemberKind::File) {
            NoContent none;
            visitor_.member(member, none);
        } else {
            file(data, member, depth);
        }
        data.skip();
        // After a member's data failed for good, the failure was reported with it.
        if (data.failedForGood()) return Result::Done;
        if (data.fatal()) {
            visitor_.status(path, damagedText(a));
            return Result::Done;
        }
    }
}

void ArchiveWalk::file(EntryData& data, const Member& member, int depth) {
    std::string head;
    ReadOutcome taken = data.readUpTo(head, kSniffBytes);
    if (taken.end == ReadEnd::Stopped) return;
    const ContainerType type = classify(member.path, head);
    if ((type == ContainerType::Pdf || type == ContainerType::OfficeXml) && documents_ == DocumentMembers::AsText) {
        document(data, member, head, type);
    } else if (type != ContainerType::Archive) {
        StreamedContent content(data, head, std::move(taken));
        visitor_.member(member, content);
    } else if (type == ContainerType::Archive && depth >= limits_.depth) {
        visitor_.status(member.path, "Archive inside archives deeper than " + std::to_string(limits_.depth) +
                                         " levels: not opened");
    } else {
        taken = data.readUpTo(head, UINT64_MAX);
        if (taken.end == ReadEnd::Stopped || taken.end == ReadEnd::Failed) return;
        nested(member, head, taken, depth);
    }
}

void ArchiveWalk::document(EntryData& data, const Member& member, std::string& bytes, ContainerType type) {
    const ReadOutcome taken = data.readUpTo(bytes, UINT64_MAX);
    if (taken.end == ReadEnd::Stopped || taken.end == ReadEnd::Failed) return;
    std::string text;
    ReadOutcome outcome = documentText(type, member.path, bytes, limits_, stop_, text);
    std::string().swap(bytes);
    if (outcome.end == ReadEnd::Stopped) {
        stopped_ = true;
        return;
    }
    if (outcome.end != ReadEnd::Whole) visitor_.status(member.path, outcome.status);
    if (outcome.end == ReadEnd::Failed) return;
    // A document cut short in its packed bytes is still its text up to there.
    if (taken.end == ReadEnd::Cut) outcome = taken;
    Member shown = member;
    shown.form = MemberForm::DocumentText;
    HeldContent content(text, outcome);
    visitor_.member(shown, content);
}

void ArchiveWalk::nested(const Member& member, std::string& bytes, const ReadOutcome& taken, int depth) {
    std::string error;
    const ArchiveHandle inner = openArchiveMemory(bytes, error);
    if (!inner) {
        visitor_.status(member.path, "Archive could not be opened (" + error + ")");
        return;
    }
    if (members(inner.get(), member.path, member.mtime, depth + 1, member.withinFolder) == Result::NotAnArchive) {
        HeldContent content(bytes, taken);
        visitor_.member(member, content);
    }
}

}  // namespace

ArchiveEnd readArchiveBytes(std::string_view bytes, const std::string& path, std::int64_t time, const ReadLimits& limits,
                            const std::atomic<bool>& stop, ContainerVisitor& visitor) {
    ArchiveEnd end;
    std::string error;
    const ArchiveHandle a = openArchiveMemory(bytes, error);
    if (!a) {
        visitor.status(path, "Archive could not be opened (" + error + ")");
        return end;
    }
    ExpansionBudget budget(limits, bytes.size());
    ArchiveWalk walk(limits, stop, visitor, budget);
    end.opened = walk.members(a.get(), path, time, 1) == ArchiveWalk::Result::Done;
    end.stopped = walk.stopped();
    return end;
}

ArchiveEnd readArchive(const std::string& path, const ReadLimits& limits, const std::atomic<bool>& stop,
                       ContainerVisitor& visitor, DocumentMembers documents) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        visitor.status(path, std::string("Archive could not be opened (") + std::strerror(errno) + ")");
        return {};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        visitor.status(path, "Archive could not be opened (not a regular file)");
        return {};
    }
    ArchiveEnd end;
    {
        std::string error;
        const ArchiveHandle a = openArchiveFd(fd, error);
        if (!a) {
            visitor.status(path, "Archive could not be opened (" + error + ")");
        } else {
            ExpansionBudget budget(limits, static_cast<std::uint64_t>(st.st_size));
            ArchiveWalk walk(limits, stop, visitor, budget, documents);
            end.opened = walk.members(a.get(), path, st.st_mtime, 1) == ArchiveWalk::Result::Done;
            end.stopped = walk.stopped();
        }
    }
    ::close(fd);
    return end;
}

}  // namespace vsr::containers
