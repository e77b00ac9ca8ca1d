// vsr-pdf-text: the text of the PDF on standard input, written to standard output (see
// containers/pdf_helper_protocol.h). The search starts it, limits it and kills it on Stop; it is
// not meant to be run by hand, though it can be: vsr-pdf-text < file.pdf
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>
#include <string_view>

#include "containers/pdf_reader/poppler_pages.h"

namespace {

bool writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A pipe has no size to map: read up to one byte beyond what poppler takes.
bool readAll(std::string& into) {
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        into.append(chunk, static_cast<std::size_t>(n));
        if (into.size() > static_cast<std::size_t>(INT_MAX)) return true;
    }
}

}  // namespace

int main(int argc, char**) {
    using namespace vsr::containers;
    if (argc != 1 || ::isatty(STDIN_FILENO)) return kPdfUsage;
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) return kPdfUsage;
    const auto lines = [](std::string_view text) { return writeAll(text); };
    if (S_ISREG(st.st_mode)) {
        // A file or a memory file is mapped, not copied (it may be as large as the search reads).
        const auto size = static_cast<std::size_t>(st.st_size);
        if (size > static_cast<std::size_t>(INT_MAX)) return kPdfTooLarge;
        if (size == 0) return kPdfDamaged;
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, STDIN_FILENO, 0);
        if (map == MAP_FAILED) return kPdfUsage;
        const int end = popplerPages(std::string_view(static_cast<const char*>(map), size), lines);
        ::munmap(map, size);
        return end;
    }
    std::string bytes;
    if (!readAll(bytes)) return kPdfUsage;
    return popplerPages(bytes, lines);
}
