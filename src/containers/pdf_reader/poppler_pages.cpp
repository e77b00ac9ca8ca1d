#include "containers/pdf_reader/poppler_pages.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <climits>
#include <memory>
#include <string>

namespace vsr::containers {

namespace {

void quietPoppler(const std::string&, void*) {}

// Page text uses "\n" and sometimes "\r\n" or a form feed between lines; lines end in "\n" here,
// and a page ends its last line without the empty lines poppler may put after it.
void pageLines(std::string_view page, std::string& lines) {
    lines.clear();
    for (std::size_t i = 0; i < page.size(); ++i) {
        const char c = page[i];
        if (c == '\r') {
            if (i + 1 < page.size() && page[i + 1] == '\n') continue;
            lines += '\n';
        } else if (c != '\f') {
            lines += c;
        }
    }
    while (!lines.empty() && lines.back() == '\n') lines.pop_back();
    if (!lines.empty()) lines += '\n';
}

}  // namespace

PdfHelperExit popplerPages(std::string_view bytes, const std::function<bool(std::string_view)>& page) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return kPdfTooLarge;
    // Its complaints about damaged files never reach a terminal.
    poppler::set_debug_error_function(quietPoppler, nullptr);
    const std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!doc) return kPdfDamaged;
    if (doc->is_locked()) return kPdfEncrypted;
    const int pages = doc->pages();
    std::string lines;
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<poppler::page> p(doc->create_page(i));
        if (!p) continue;
        const poppler::byte_array utf8 = p->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
        pageLines(std::string_view(utf8.data(), utf8.size()), lines);
        if (!lines.empty() && !page(lines)) break;
    }
    return kPdfRead;
}

}  // namespace vsr::containers
