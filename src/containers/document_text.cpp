#include "containers/document_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vsr::containers {

ReadOutcome documentText(ContainerType type, std::string_view name, std::string_view bytes, const ReadLimits& limits,
                         const std::atomic<bool>& stop, std::string& text) {
    if (type == ContainerType::Pdf) return pdfText(bytes, limits, stop, text);
    if (type == ContainerType::OfficeXml) return officeText(name, bytes, limits, stop, text);
    text.clear();
    return {ReadEnd::Failed, "Not a document"};
}

ReadOutcome documentFileText(const std::string& path, const ReadLimits& limits, const std::atomic<bool>& stop,
                             std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return {ReadEnd::Failed, std::string("Document could not be opened (") + std::strerror(errno) + ")"};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {ReadEnd::Failed, "Document could not be opened (not a regular file)"};
    }
    if (static_cast<std::uint64_t>(st.st_size) > limits.archiveBytes) {
        ::close(fd);
        return {ReadEnd::Failed, "Document larger than the limit of " + sizeText(limits.archiveBytes) + ": not read"};
    }
    // A PDF goes to its reader as the open file; only its first bytes are read here.
    std::string head(kSniffBytes, '\0');
    ssize_t got;
    while ((got = ::pread(fd, head.data(), head.size(), 0)) < 0 && errno == EINTR) {
    }
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (classify(path, head) == ContainerType::Pdf) {
        const ReadOutcome outcome = pdfFileText(fd, static_cast<std::uint64_t>(st.st_size), limits, stop, text);
        ::close(fd);
        return outcome;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t taken = 0;
    while (taken < bytes.size()) {
        if (stopped(stop)) {
            ::close(fd);
            return {ReadEnd::Stopped, {}};
        }
        const ssize_t n = ::read(fd, bytes.data() + taken, std::min<std::size_t>(bytes.size() - taken, 1u << 20));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        taken += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(taken);
    return documentText(classify(path, bytes.substr(0, kSniffBytes)), path, bytes, limits, stop, text);
}

}  // namespace vsr::containers
