#pragma once
#include <atomic>
#include <string>
#include <string_view>

#include "containers/container_member.h"
#include "containers/container_sniff.h"
#include "containers/read_limits.h"

namespace vsr::containers {

// The text of a document whose bytes are `bytes` (`type` Pdf or OfficeXml, `name` tells which
// OfficeXml kind): UTF-8, one paragraph, cell or text line per line, each ending in "\n", in
// reading order. Every document is untrusted: damage, encryption and the limits end it with a
// status text (in the outcome), never a crash; the text then holds what came before.
ReadOutcome documentText(ContainerType type, std::string_view name, std::string_view bytes, const ReadLimits& limits,
                         const std::atomic<bool>& stop, std::string& text);

// The same for a document on disk, read whole (up to limits.archiveBytes).
ReadOutcome documentFileText(const std::string& path, const ReadLimits& limits, const std::atomic<bool>& stop,
                             std::string& text);

// The text of a PDF file, page by page, read by our helper program (pdf_helper_protocol.h) in a
// process of its own: limited in memory and processor time, killed on Stop and past
// limits.memberBytes of text. A crash of it passes the PDF over as unreadable.
ReadOutcome pdfText(std::string_view bytes, const ReadLimits& limits, const std::atomic<bool>& stop, std::string& text);

// The same for the PDF open as `fd`, a file (or memory file) of `size` bytes, handed to the
// helper as it is.
ReadOutcome pdfFileText(int fd, std::uint64_t size, const ReadLimits& limits, const std::atomic<bool>& stop,
                        std::string& text);

// The same through the helper program `helper` (a full name) with a limit of `cpuSeconds` of
// processor time: what pdfFileText does with ours and a minute.
ReadOutcome pdfTextThrough(const std::string& helper, int fd, std::uint64_t size, const ReadLimits& limits,
                           const std::atomic<bool>& stop, std::string& text, unsigned cpuSeconds = 60);

// The text of an OpenDocument, Office Open XML or EPUB file: the parts that hold its text, read
// from the zip through libarchive, in the order the document shows them.
ReadOutcome officeText(std::string_view name, std::string_view bytes, const ReadLimits& limits,
                       const std::atomic<bool>& stop, std::string& text);

}  // namespace vsr::containers
