#include "engine/decode/container_text.h"

#include <sys/stat.h>

#include "containers/archive_reader.h"
#include "containers/container_sniff.h"
#include "containers/document_text.h"

namespace vsr::engine {

void markDocumentText(std::string& text) { text.insert(0, "\xEF\xBB\xBF"); }

namespace {

bool regularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Takes the one member it is looking for and ends the walk there. The walk follows the
// caller's own stop flag throughout: a Stop pressed while the archive is read ends it at once.
class MemberPick final : public containers::ContainerVisitor {
public:
    explicit MemberPick(const std::string& wanted) : wanted_(wanted) {}
    void member(const containers::Member& m, containers::MemberContent& content) override {
        if (m.kind != containers::MemberKind::File || m.path != wanted_) return;
        ContainerContent c;
        const containers::ReadOutcome outcome = content.read(c.bytes);
        done_ = true;
        if (outcome.end == containers::ReadEnd::Failed || outcome.end == containers::ReadEnd::Stopped) return;
        c.status = outcome.status;
        c.size = m.size ? *m.size : c.bytes.size();
        c.mtime = m.mtime;
        if (m.form == containers::MemberForm::DocumentText) {
            c.kind = TextKind::Document;
            markDocumentText(c.bytes);
        }
        found = std::move(c);
    }
    void status(const std::string&, const std::string&) override {}
    bool finished() const override { return done_; }

    std::optional<ContainerContent> found;

private:
    const std::string& wanted_;
    bool done_ = false;
};

// Takes the stored bytes of the one member it is looking for, cut or whole, and ends the walk.
class MemberCopyPick final : public containers::ContainerVisitor {
public:
    explicit MemberCopyPick(const std::string& wanted) : wanted_(wanted) {}
    void member(const containers::Member& m, containers::MemberContent& content) override {
        if (m.kind != containers::MemberKind::File || m.path != wanted_) return;
        MemberBytes b;
        const containers::ReadOutcome outcome = content.read(b.bytes);
        done_ = true;
        if (outcome.end == containers::ReadEnd::Stopped) return;
        b.end = outcome.end;
        b.status = outcome.status;
        b.mtime = m.mtime;
        found = std::move(b);
    }
    void status(const std::string&, const std::string&) override {}
    bool finished() const override { return done_; }

    std::optional<MemberBytes> found;

private:
    const std::string& wanted_;
    bool done_ = false;
};

}  // namespace

std::optional<ContainerContent> containerContent(const std::string& fullName, const std::atomic<bool>& stop) {
    const containers::ReadLimits limits;
    if (regularFile(fullName)) {
        if (!containers::isDocumentName(fullName)) return std::nullopt;
        ContainerContent c;
        c.kind = TextKind::Document;
        const containers::ReadOutcome outcome = containers::documentFileText(fullName, limits, stop, c.bytes);
        if (outcome.end == containers::ReadEnd::Failed || outcome.end == containers::ReadEnd::Stopped)
            return std::nullopt;
        c.status = outcome.status;
        markDocumentText(c.bytes);
        return c;
    }
    const std::string archive = archiveOnDisk(fullName);
    if (archive.empty()) return std::nullopt;
    MemberPick pick(fullName);
    containers::readArchive(archive, limits, stop, pick);
    return std::move(pick.found);
}

std::string archiveOnDisk(const std::string& fullName) {
    struct stat st {};
    if (fullName.empty() || ::lstat(fullName.c_str(), &st) == 0) return {};
    // The first part of the name that exists: a file there means the rest runs inside it.
    for (std::size_t slash = fullName.rfind('/'); slash != std::string::npos && slash > 0;
         slash = fullName.rfind('/', slash - 1)) {
        const std::string part = fullName.substr(0, slash);
        if (::stat(part.c_str(), &st) != 0) continue;
        return S_ISREG(st.st_mode) ? part : std::string();
    }
    return {};
}

std::optional<MemberBytes> memberBytes(const std::string& archive, const std::string& fullName,
                                       const std::atomic<bool>& stop) {
    const containers::ReadLimits limits;
    MemberCopyPick pick(fullName);
    containers::readArchive(archive, limits, stop, pick, containers::DocumentMembers::AsBytes);
    return std::move(pick.found);
}

}  // namespace vsr::engine
