#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "containers/container_member.h"

namespace vsr::containers {

// Which XML vocabulary a part is written in, so its paragraphs, cells and text lines are known.
enum class XmlVocabulary {
    OpenDocument,      // content.xml of odt, ods and odp: text:p and text:h
    WordDocument,      // word/document.xml of docx: w:p holding w:t
    SlideDrawing,      // ppt/slides/slideN.xml of pptx: a:p holding a:t
    SharedStrings,     // xl/sharedStrings.xml: one string per si
    Worksheet,         // xl/worksheets/sheetN.xml: one cell per line
    Xhtml,             // the chapters of an EPUB
};

struct XmlTextInput {
    XmlVocabulary vocabulary = XmlVocabulary::OpenDocument;
    std::string_view xml;
    // For a worksheet: the workbook's shared strings, which its cells of type "s" point into.
    const std::vector<std::string>* sharedStrings = nullptr;
};

// Appends the text of one XML part to `text`, one paragraph, cell or text line per line (each
// ending in "\n"), in document order, as UTF-8. For SharedStrings the strings go to `strings`
// instead. `maxText` bounds what is appended; a part beyond it is cut with a status text.
// Malformed XML ends the part where it broke, with a status text; what came before is kept.
// Expat refuses entity expansions that grow out of proportion and loads no outside entity.
ReadOutcome appendXmlText(const XmlTextInput& input, std::uint64_t maxText, const std::atomic<bool>& stop,
                          std::string& text, std::vector<std::string>* strings = nullptr);

}  // namespace vsr::containers
