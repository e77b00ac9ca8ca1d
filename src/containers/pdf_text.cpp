#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <climits>
#include <memory>
#include <mutex>

#include "containers/document_text.h"

namespace vsr::containers {

namespace {

void quietPoppler(const std::string&, void*) {}

// Poppler's document loader keeps state of its own between documents; one document is read at a
// time, and its complaints about damaged files never reach the terminal.
std::mutex& popplerMutex() {
    static std::mutex m;
    return m;
}

// Page text uses "\n" and sometimes "\r\n" or a form feed between lines; lines end in "\n" here.
void appendLines(std::string_view page, std::string& text) {
    const std::size_t start = text.size();
    for (std::size_t i = 0; i < page.size(); ++i) {
        const char c = page[i];
        if (c == '\r') {
            if (i + 1 < page.size() && page[i + 1] == '\n') continue;
            text += '\n';
        } else if (c == '\f') {
            continue;
        } else {
            text += c;
        }
    }
    // A page ends its last line, without the empty lines poppler may put after it.
    while (text.size() > start && text.back() == '\n') text.pop_back();
    if (text.size() > start) text += '\n';
}

}  // namespace

ReadOutcome pdfText(std::string_view bytes, const ReadLimits& limits, const std::atomic<bool>& stop, std::string& text) {
    text.clear();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return {ReadEnd::Failed, "PDF larger than 2 GB - 1 bytes: not read"};
    std::lock_guard lock(popplerMutex());
    static std::once_flag quiet;
    std::call_once(quiet, [] { poppler::set_debug_error_function(quietPoppler, nullptr); });
    const std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!doc) return {ReadEnd::Failed, "PDF damaged or unreadable: not read"};
    if (doc->is_locked()) return {ReadEnd::Failed, "Encrypted PDF: not read"};
    const int pages = doc->pages();
    for (int i = 0; i < pages; ++i) {
        if (stopped(stop)) return {ReadEnd::Stopped, {}};
        const std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page) continue;
        const poppler::byte_array utf8 =
            page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
        const std::string_view pageText(utf8.data(), utf8.size());
        if (text.size() + pageText.size() > limits.memberBytes) {
            return {ReadEnd::Cut, "Document cut off at the limit of " + sizeText(limits.memberBytes) +
                                      " of text; the rest was not read"};
        }
        appendLines(pageText, text);
    }
    return {};
}

}  // namespace vsr::containers
