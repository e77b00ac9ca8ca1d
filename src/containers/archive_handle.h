#pragma once
#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace vsr::containers {

struct ArchiveFree {
    void operator()(archive* a) const;
};
using ArchiveHandle = std::unique_ptr<archive, ArchiveFree>;

// A libarchive reader for the formats we open: zip, tar, 7z, cpio and single compressed files
// (gzip, bzip2, xz, lzma, zstd, lz4). Filters that run outside programs, and formats that would
// take plain text for an archive, are left out on purpose.
ArchiveHandle newArchiveReader(bool withRawFormat);

// Opened on a descriptor (which must outlive the handle) or on bytes in memory (likewise);
// empty when libarchive refuses, with its reason in `error`.
ArchiveHandle openArchiveFd(int fd, std::string& error, bool withRawFormat = true);
ArchiveHandle openArchiveMemory(std::string_view bytes, std::string& error, bool withRawFormat = true);

// libarchive's last error for the handle, control characters made harmless.
std::string archiveError(archive* a);

}  // namespace vsr::containers
