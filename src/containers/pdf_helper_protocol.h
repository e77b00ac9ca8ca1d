#pragma once

namespace vsr::containers {

// The PDF reader runs as a program of its own, vsr-pdf-text: poppler is the least trusted code we
// run, and a page it takes long over cannot be stopped from inside. It reads the PDF from its
// standard input (a file, a memory file or a pipe) and writes the text to its standard output,
// UTF-8, one text line per line, each ending in "\n", page after page. Its exit status says how
// the reading ended; a signal means it crashed or ran out of its processor time.
inline constexpr const char* kPdfHelperName = "vsr-pdf-text";

enum PdfHelperExit : int {
    kPdfRead = 0,       // every page
    kPdfUsage = 1,      // started wrongly, or its input could not be read
    kPdfDamaged = 2,    // poppler could not load it
    kPdfEncrypted = 3,  // it needs a password
    kPdfTooLarge = 4,   // above what poppler takes (2 GB - 1 bytes)
};

}  // namespace vsr::containers
