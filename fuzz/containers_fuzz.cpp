// Fuzz target: random bytes as an archive, as each kind of document (a PDF through poppler as the
// PDF reader program uses it) and as each XML vocabulary.
// Besides crashes, hangs and sanitizer reports, a member or a text beyond the limits, or more
// expanded bytes than the archive's budget allows, is a failure.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "containers/archive_reader.h"
#include "containers/document_text.h"
#include "containers/pdf_reader/poppler_pages.h"
#include "containers/xml_text.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

vsr::containers::ReadLimits smallLimits() {
    vsr::containers::ReadLimits limits;
    limits.memberBytes = 1u << 20;
    limits.archiveBytes = 4u << 20;
    limits.ratioFloorBytes = 2u << 20;
    return limits;
}

struct Totals : vsr::containers::ContainerVisitor {
    std::uint64_t limit = 0;
    std::uint64_t expanded = 0;
    void member(const vsr::containers::Member& m, vsr::containers::MemberContent& content) override {
        check(!m.path.empty() && m.path.find("/../") == std::string::npos && m.depth >= 1 && m.depth <= 3);
        std::string bytes;
        content.read(bytes);
        check(bytes.size() <= limit);
        expanded += bytes.size();
    }
    void status(const std::string& path, const std::string& text) override { check(!path.empty() && !text.empty()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using namespace vsr::containers;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const ReadLimits limits = smallLimits();
    const std::atomic<bool> stop = false;
    std::string text;
    static const char* const kDocuments[] = {"a.docx", "a.xlsx", "a.pptx", "a.odt", "a.epub"};
    const unsigned mode = data[0] % 13;
    if (mode == 0) {
        Totals totals;
        totals.limit = limits.memberBytes;
        readArchiveBytes(bytes, "/f.bin", 0, limits, stop, totals);
        check(totals.expanded <= limits.archiveBytes);
    } else if (mode == 1) {
        // poppler in this process, as the PDF reader program runs it: every page's text ends its lines.
        popplerPages(bytes, [&](std::string_view page) {
            check(!page.empty() && page.back() == '\n');
            text += page;
            return text.size() <= limits.memberBytes;
        });
    } else if (mode <= 6) {
        officeText(kDocuments[mode - 2], bytes, limits, stop, text);
        check(text.size() <= limits.memberBytes);
    } else {
        const std::vector<std::string> shared = {"one", "two"};
        std::vector<std::string> strings;
        XmlTextInput input{static_cast<XmlVocabulary>(mode - 7), bytes, &shared};
        appendXmlText(input, limits.memberBytes, stop, text, &strings);
        check(text.size() <= limits.memberBytes);
    }
    return 0;
}
