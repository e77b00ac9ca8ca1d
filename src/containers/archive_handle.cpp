#include "containers/archive_handle.h"

#include <archive.h>

namespace vsr::containers {

void ArchiveFree::operator()(archive* a) const { archive_read_free(a); }

ArchiveHandle newArchiveReader(bool withRawFormat) {
    ArchiveHandle a(archive_read_new());
    if (!a) return a;
    archive* r = a.get();
    archive_read_support_filter_gzip(r);
    archive_read_support_filter_bzip2(r);
    archive_read_support_filter_xz(r);
    archive_read_support_filter_lzma(r);
    archive_read_support_filter_zstd(r);
    archive_read_support_filter_lz4(r);
    archive_read_support_format_zip(r);
    archive_read_support_format_tar(r);
    archive_read_support_format_gnutar(r);
    archive_read_support_format_7zip(r);
    archive_read_support_format_cpio(r);
    if (withRawFormat) archive_read_support_format_raw(r);
    return a;
}

namespace {

ArchiveHandle opened(ArchiveHandle a, int status, std::string& error) {
    if (status == ARCHIVE_OK || status == ARCHIVE_WARN) return a;
    error = archiveError(a.get());
    return {};
}

}  // namespace

ArchiveHandle openArchiveFd(int fd, std::string& error, bool withRawFormat) {
    ArchiveHandle a = newArchiveReader(withRawFormat);
    if (!a) {
        error = "out of memory";
        return a;
    }
    const int status = archive_read_open_fd(a.get(), fd, 64 * 1024);
    return opened(std::move(a), status, error);
}

ArchiveHandle openArchiveMemory(std::string_view bytes, std::string& error, bool withRawFormat) {
    ArchiveHandle a = newArchiveReader(withRawFormat);
    if (!a) {
        error = "out of memory";
        return a;
    }
    const int status = archive_read_open_memory(a.get(), bytes.data(), bytes.size());
    return opened(std::move(a), status, error);
}

std::string archiveError(archive* a) {
    const char* text = a ? archive_error_string(a) : nullptr;
    std::string out = text && *text ? text : "unknown error";
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return out;
}

}  // namespace vsr::containers
