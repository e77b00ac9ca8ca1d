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

// Takes the one member it is looking for and ends the walk there.
class MemberPick final : public containers::ContainerVisitor {
public:
    MemberPick(const std::string& wanted, std::atomic<bool>& done) : wanted_(wanted), done_(done) {}
    void member(const containers::Member& m, containers::MemberContent& content) override {
        if (m.kind != containers::MemberKind::File || m.path != wanted_) return;
        ContainerContent c;
        const containers::ReadOutcome outcome = content.read(c.bytes);
        if (outcome.end == containers::ReadEnd::Failed || outcome.end == containers::ReadEnd::Stopped) return;
        c.status = outcome.status;
        c.size = m.size ? *m.size : c.bytes.size();
        c.mtime = m.mtime;
        if (m.form == containers::MemberForm::DocumentText) {
            c.kind = TextKind::Document;
            markDocumentText(c.bytes);
        }
        found = std::move(c);
        done_ = true;
    }
    void status(const std::string&, const std::string&) override {}

    std::optional<ContainerContent> found;

private:
    const std::string& wanted_;
    std::atomic<bool>& done_;
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
    // The archive on disk is the longest part of the name that is a file.
    for (std::size_t slash = fullName.rfind('/'); slash != std::string::npos && slash > 0;
         slash = fullName.rfind('/', slash - 1)) {
        const std::string archive = fullName.substr(0, slash);
        if (!regularFile(archive)) continue;
        std::atomic<bool> done = stop.load();
        MemberPick pick(fullName, done);
        containers::readArchive(archive, limits, done, pick);
        return std::move(pick.found);
    }
    return std::nullopt;
}

}  // namespace vsr::engine
