#pragma once
#include <cstddef>
#include <string_view>

namespace vsr::containers {

enum class ContainerType {
    None,        // plain bytes
    Archive,     // zip, tar, 7z, cpio, maybe compressed, or a single compressed file
    Pdf,         // text of a PDF
    OfficeXml,   // text of an OpenDocument, Office Open XML or EPUB file (a zip of XML parts)
};

// The leading bytes that classify() needs to see (the tar mark sits at 257, a PDF header within the first 1024).
inline constexpr std::size_t kSniffBytes = 1024;

// What a file holds, from its name and its first bytes (up to kSniffBytes of them). Documents are
// known by name and confirmed by content; archives by content alone, so a renamed archive is still
// opened and a text file named ".zip" is not.
ContainerType classify(std::string_view name, std::string_view head);

// Whether `name` is that of a document kind we read (PDF, OpenDocument, Office Open XML, EPUB).
bool isDocumentName(std::string_view name);

}  // namespace vsr::containers
