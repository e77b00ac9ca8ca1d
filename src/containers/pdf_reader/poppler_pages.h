#pragma once
#include <functional>
#include <string_view>

#include "containers/pdf_helper_protocol.h"

namespace vsr::containers {

// Reads the PDF `bytes` with poppler and hands the text of each page in turn to `page`: UTF-8,
// one text line per line, each ending in "\n" (a page without text gives nothing). Stops after
// the page for which `page` returns false. Returns how it ended (kPdfRead, kPdfDamaged,
// kPdfEncrypted or kPdfTooLarge). Only the helper program and the fuzzer link this.
PdfHelperExit popplerPages(std::string_view bytes, const std::function<bool(std::string_view)>& page);

}  // namespace vsr::containers
