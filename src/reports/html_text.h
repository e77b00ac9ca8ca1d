#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"
#include "platform/code_page.h"

namespace vsr::reports {

// Every line of the HTML documents ends so, whatever the platform's own line end.
inline constexpr std::string_view kCrLf = "\r\n";
// Every document is written in UTF-8 and says so, so that a browser shows names and lines that
// are not ASCII as the window shows them rather than guessing.
inline constexpr std::string_view kCharsetLine = "<meta charset=\"utf-8\">";
// `text` and the line end appended to `out`.
inline void appendLine(std::string& out, std::string_view text) { out.append(text).append(kCrLf); }

// `bytes` of the text encoding `page` in UTF-8, the documents' encoding. A byte that is no
// character of the page (a stray byte in UTF-8) becomes its Windows-1252 character, as the
// Lines Viewer shows it. Names (of files and folders) are UTF-8 as the file system has them.
std::string utf8Of(std::string_view bytes, platform::CodePageId page);
std::string utf8Name(std::string_view bytes);

// The blue mark around found text and condition values (22 and 7 characters).
inline constexpr std::string_view kBlueOpen = "<font color=\"#0000FF\">";
inline constexpr std::string_view kBlueClose = "</font>";

// `text` with '"', '&', '<' and '>' replaced by their entities. With `shifts`, shifts[i] is
// the number of characters the escaping inserted before position i of `text` (one entry per
// position, plus one for the end), so a position p of `text` lies at p + shifts[p] in the result.
std::string escapeHtml(std::string_view text, std::vector<std::size_t>* shifts = nullptr);

// The blue mark around `text`, which is written as given.
std::string blue(std::string_view text);

// How much of an entry's text and highlights a document shows.
enum class MarkScope {
    Whole,        // every highlight on the whole text (Reg Expr searches)
    DisplayWidth  // only what a Lines Viewer line shows: the first 1024 characters
};

// The number of bytes the first `count` characters of `text` take in the encoding `page`: in
// UTF-8 a character is a well-formed sequence or one stray byte, in the other encodings a byte.
// A cut there never splits a character.
std::size_t charactersPrefix(std::string_view text, std::size_t count, platform::CodePageId page);

// `text` cut to the 1024 characters of a Lines Viewer line.
std::string_view displayWidth(std::string_view text, platform::CodePageId page);

// Highlights sorted by start, overlapping ones merged (touching ones stay apart), limited to
// `length` characters of text; empty and out-of-range stretches are dropped.
std::vector<engine::Highlight> mergedHighlights(std::vector<engine::Highlight> highlights, std::size_t length);

// `text` (in the encoding `page`) escaped, with every highlight wrapped in the blue mark.
std::string markedText(std::string_view text, const std::vector<engine::Highlight>& highlights, MarkScope scope,
                       platform::CodePageId page);

// The entry's text as the documents show it, escaped and marked: its full text (when the fill
// kept one) for Reg Expr searches, the first 1024 characters of it otherwise.
std::string markedEntry(const engine::FoundLine& entry, bool regExpr, platform::CodePageId page);

}  // namespace vsr::reports
