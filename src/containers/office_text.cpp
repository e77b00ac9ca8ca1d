#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "containers/archive_handle.h"
#include "containers/document_text.h"
#include "containers/member_path.h"
#include "containers/xml_text.h"

namespace vsr::containers {

namespace {

enum class OfficeKind { OpenDocument, Word, Presentation, Workbook, Book };

std::optional<OfficeKind> officeKindOf(std::string_view name) {
    for (const char* s : {".odt", ".ods", ".odp"})
        if (endsWithNoCase(name, s)) return OfficeKind::OpenDocument;
    for (const char* s : {".docx", ".docm"})
        if (endsWithNoCase(name, s)) return OfficeKind::Word;
    for (const char* s : {".pptx", ".pptm"})
        if (endsWithNoCase(name, s)) return OfficeKind::Presentation;
    for (const char* s : {".xlsx", ".xlsm"})
        if (endsWithNoCase(name, s)) return OfficeKind::Workbook;
    if (endsWithNoCase(name, ".epub")) return OfficeKind::Book;
    return std::nullopt;
}

// "ppt/slides/slide12.xml" with prefix "ppt/slides/slide" is number 12.
std::optional<int> numberedPart(std::string_view part, std::string_view prefix) {
    if (!part.starts_with(prefix) || !part.ends_with(".xml")) return std::nullopt;
    const std::string_view digits = part.substr(prefix.size(), part.size() - prefix.size() - 4);
    int n = 0;
    const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || p != digits.data() + digits.size()) return std::nullopt;
    return n;
}

struct Part {
    XmlVocabulary vocabulary;
    int order = 0;  // slides and sheets by number, the rest as the zip holds them
    std::string xml;
};

// The vocabulary of a part this kind of document keeps its text in; none for the other parts.
std::optional<XmlVocabulary> textPart(OfficeKind kind, std::string_view part, int& order) {
    switch (kind) {
        case OfficeKind::OpenDocument:
            if (part == "content.xml") return XmlVocabulary::OpenDocument;
            break;
        case OfficeKind::Word:
            if (part == "word/document.xml") return XmlVocabulary::WordDocument;
            break;
        case OfficeKind::Presentation:
            if (const auto n = numberedPart(part, "ppt/slides/slide")) {
                order = *n;
                return XmlVocabulary::SlideDrawing;
            }
            break;
        case OfficeKind::Workbook:
            if (part == "xl/sharedStrings.xml") {
                order = -1;
                return XmlVocabulary::SharedStrings;
            }
            if (const auto n = numberedPart(part, "xl/worksheets/sheet")) {
                order = *n;
                return XmlVocabulary::Worksheet;
            }
            break;
        case OfficeKind::Book:
            for (const char* s : {".xhtml", ".html", ".htm"})
                if (endsWithNoCase(part, s)) return XmlVocabulary::Xhtml;
            break;
    }
    return std::nullopt;
}

}  // namespace

ReadOutcome officeText(std::string_view name, std::string_view bytes, const ReadLimits& limits,
                       const std::atomic<bool>& stop, std::string& text) {
    text.clear();
    const std::optional<OfficeKind> kind = officeKindOf(name);
    if (!kind) return {ReadEnd::Failed, "Document of an unknown kind: not read"};
    std::string error;
    const ArchiveHandle a = openArchiveMemory(bytes, error, false);
    if (!a) return {ReadEnd::Failed, "Document damaged or unreadable (" + error + "): not read"};

    // The parts are gathered first: a workbook's shared strings may come after its sheets.
    ExpansionBudget budget(limits, bytes.size());
    std::vector<Part> parts;
    std::uint64_t held = 0;
    ReadOutcome outcome;
    for (int order = 0;; ++order) {
        if (stopped(stop)) return {ReadEnd::Stopped, {}};
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) {
            outcome = {ReadEnd::Failed, "Document damaged (" + archiveError(a.get()) + "): the rest of it was not read"};
            break;
        }
        const char* stored = archive_entry_pathname(entry);
        int partOrder = order;
        const std::optional<XmlVocabulary> vocabulary =
            stored ? textPart(*kind, cleanMemberName(stored), partOrder) : std::nullopt;
        if (!vocabulary || archive_entry_filetype(entry) != AE_IFREG) continue;
        if (archive_entry_is_data_encrypted(entry)) {
            outcome = {ReadEnd::Failed, "Encrypted document: not read"};
            break;
        }
        Part part{*vocabulary, partOrder, {}};
        char chunk[64 * 1024];
        bool cut = false;
        for (;;) {
            if (stopped(stop)) return {ReadEnd::Stopped, {}};
            const la_ssize_t n = archive_read_data(a.get(), chunk, sizeof chunk);
            if (n == 0) break;
            if (n < 0) {
                outcome = {ReadEnd::Failed, "Document damaged (" + archiveError(a.get()) + "): the rest of it was not read"};
                cut = true;
                break;
            }
            const auto got = static_cast<std::uint64_t>(n);
            if (held + got > limits.memberBytes) {
                outcome = {ReadEnd::Cut, "Document cut off at the limit of " + sizeText(limits.memberBytes) +
                                             " per member; the rest was not read"};
                cut = true;
                break;
            }
            if (!budget.charge(got)) {
                outcome = {ReadEnd::Cut, budget.exhaustedText()};
                cut = true;
                break;
            }
            held += got;
            part.xml.append(chunk, static_cast<std::size_t>(n));
        }
        parts.push_back(std::move(part));
        if (cut) break;
    }

    std::stable_sort(parts.begin(), parts.end(), [](const Part& x, const Part& y) { return x.order < y.order; });
    std::vector<std::string> shared;
    for (const Part& part : parts) {
        XmlTextInput input{part.vocabulary, part.xml, &shared};
        const ReadOutcome partEnd = appendXmlText(input, limits.memberBytes, stop, text, &shared);
        if (partEnd.end == ReadEnd::Stopped) return partEnd;
        if (partEnd.end != ReadEnd::Whole && outcome.end == ReadEnd::Whole) outcome = partEnd;
        if (partEnd.end == ReadEnd::Cut) break;
    }
    return outcome;
}

}  // namespace vsr::containers
