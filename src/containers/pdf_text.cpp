#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "containers/document_text.h"
#include "containers/helper_process.h"
#include "containers/helper_program.h"
#include "containers/pdf_helper_protocol.h"

namespace vsr::containers {

namespace {

// The helper may take poppler's own needs on top of the document it maps: a damaged file that
// makes poppler allocate without end is stopped there instead of pressing the whole machine.
constexpr std::uint64_t kPdfMemoryBase = std::uint64_t{1} << 30;

// A sanitizer's runtime reserves terabytes of address space for its shadow memory at start, so a
// helper built with one would not start at all under that limit.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceLimited = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kAddressSpaceLimited = false;
#else
constexpr bool kAddressSpaceLimited = true;
#endif
#else
constexpr bool kAddressSpaceLimited = true;
#endif

std::string helperFailure(const HelperResult& r, unsigned cpuSeconds) {
    switch (r.end) {
        case HelperEnd::NotStarted:
            return std::string("PDF reader ") + kPdfHelperName + " could not be started (" + r.error + "): not read";
        case HelperEnd::Signalled:
            if (r.code == SIGXCPU)
                return "PDF took more than " + std::to_string(cpuSeconds) + " s of processor time to read: not read";
            return std::string("PDF reader crashed (") + strsignal(r.code) + "): not read";
        default:
            break;
    }
    switch (r.code) {
        case kPdfDamaged: return "PDF damaged or unreadable: not read";
        case kPdfEncrypted: return "Encrypted PDF: not read";
        case kPdfTooLarge: return "PDF larger than 2 GB - 1 bytes: not read";
        default: return "PDF reader failed (exit status " + std::to_string(r.code) + "): not read";
    }
}

// Text cut at the limit ends at its last whole line, never inside a character.
void endAtLastLine(std::string& text) {
    const std::size_t end = text.rfind('\n');
    text.resize(end == std::string::npos ? 0 : end + 1);
}

}  // namespace

ReadOutcome pdfTextThrough(const std::string& helper, int fd, std::uint64_t size, const ReadLimits& limits,
                           const std::atomic<bool>& stop, std::string& text, unsigned cpuSeconds) {
    text.clear();
    if (size > static_cast<std::uint64_t>(INT_MAX)) return {ReadEnd::Failed, "PDF larger than 2 GB - 1 bytes: not read"};
    if (helper.empty())
        return {ReadEnd::Failed, std::string("PDF reader ") + kPdfHelperName + " not found beside the program: not read"};
    HelperLaunch launch;
    launch.program = helper;
    launch.input = fd;
    launch.outputLimit = limits.memberBytes;
    launch.cpuSeconds = cpuSeconds;
    launch.memoryBytes = kAddressSpaceLimited ? kPdfMemoryBase + 2 * size : 0;
    const HelperResult r = runHelper(launch, stop, text);
    if (r.end == HelperEnd::Stopped) return {ReadEnd::Stopped, {}};
    if (r.end == HelperEnd::OverLimit) {
        endAtLastLine(text);
        return {ReadEnd::Cut,
                "Document cut off at the limit of " + sizeText(limits.memberBytes) + " of text; the rest was not read"};
    }
    if (r.end == HelperEnd::Exited && r.code == kPdfRead) return {};
    return {ReadEnd::Failed, helperFailure(r, cpuSeconds)};
}

ReadOutcome pdfFileText(int fd, std::uint64_t size, const ReadLimits& limits, const std::atomic<bool>& stop,
                        std::string& text) {
    static const std::string helper = helperProgram(kPdfHelperName);
    return pdfTextThrough(helper, fd, size, limits, stop, text);
}

ReadOutcome pdfText(std::string_view bytes, const ReadLimits& limits, const std::atomic<bool>& stop, std::string& text) {
    text.clear();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return {ReadEnd::Failed, "PDF larger than 2 GB - 1 bytes: not read"};
    // A member's bytes reach the helper as a memory file it maps, as it maps a PDF on disk.
    const int fd = ::memfd_create("pdf", MFD_CLOEXEC);
    if (fd < 0) return {ReadEnd::Failed, std::string("PDF could not be handed to its reader (") + std::strerror(errno) + ")"};
    std::string_view left = bytes;
    while (!left.empty()) {
        const ssize_t n = ::write(fd, left.data(), left.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            return {ReadEnd::Failed, std::string("PDF could not be handed to its reader (") + std::strerror(error) + ")"};
        }
        left.remove_prefix(static_cast<std::size_t>(n));
    }
    const ReadOutcome outcome = pdfFileText(fd, bytes.size(), limits, stop, text);
    ::close(fd);
    return outcome;
}

}  // namespace vsr::containers
