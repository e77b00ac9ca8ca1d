#include "engine/modify/content_diff.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/modify/sequence_diff.h"
#include "engine/modify/unified_diff.h"
#include "engine/query/term_scanner.h"

namespace vsr::engine {
namespace {

// More distinct inserted texts than this are not worth looking for in the old text.
constexpr std::size_t kMaxInsertedTexts = 8;

// Whether `part` is anywhere in `text`, byte for byte: the search's own scanner, on a page of
// single bytes, with case and word ends as they are.
bool contains(std::string_view text, std::string_view part) {
    const TermScanner scanner(part, false, platform::CodePage::get(platform::CodePageId::Windows1252), false);
    return scanner.next(text, 0) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> splicedDiff(std::string_view name, const ModifiedContent& content, int context) {
    if (!content.spliced || content.outcome != EngineOutcome::Done) return std::nullopt;
    const std::string_view before = content.original;
    const std::string_view after = content.bytes;
    const std::vector<TextEdit>& edits = content.edits;

    std::vector<ReplacedLine> lines;
    std::vector<std::string_view> inserted;
    std::size_t growth = 0;  // where the new text is ahead of the old one (modulo 2^N when behind)
    for (std::size_t k = 0; k < edits.size();) {
        const TextEdit& first = edits[k];
        const std::size_t lineBegin = first.offset - first.column;
        const std::size_t growthBefore = growth;
        std::size_t m = k;
        for (; m < edits.size() && edits[m].line == first.line; ++m) {
            const TextEdit& e = edits[m];
            const std::string_view text = after.substr(e.offset + growth, e.newLength);
            // A deleted occurrence leaves nothing to tell the new line from others by; a line
            // feed or NUL byte put in changes the lines or makes the texts binary.
            if (text.empty() || text.find('\n') != std::string_view::npos || text.find('\0') != std::string_view::npos)
                return std::nullopt;
            if (std::find(inserted.begin(), inserted.end(), text) == inserted.end()) {
                if (inserted.size() == kMaxInsertedTexts) return std::nullopt;
                inserted.push_back(text);
            }
            growth += e.newLength - e.length;
        }
        const std::size_t lastEnd = edits[m - 1].offset + edits[m - 1].length;
        const void* lf = std::memchr(before.data() + lastEnd, '\n', before.size() - lastEnd);
        const std::size_t lineEnd =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - before.data()) + 1 : before.size();
        const ReplacedLine line{first.line, lineBegin, lineEnd, lineBegin + growthBefore, lineEnd + growth};
        if (before.substr(line.oldBegin, line.oldEnd - line.oldBegin) !=
            after.substr(line.newBegin, line.newEnd - line.newBegin)) {
            lines.push_back(line);
            // Past this many changes the line diff may settle for an answer that is not the best.
            if (2 * static_cast<std::int64_t>(lines.size()) > kMaxDiffCost) return std::nullopt;
        }
        k = m;
    }
    // Each changed new line holds an inserted text; if none is anywhere in the old text, no old
    // line equals a changed new one. Equal old lines are matched and edited alike, so a changed
    // old line equals no unchanged one, nor (lacking the inserted texts) a changed new one.
    for (std::string_view text : inserted)
        if (contains(before, text)) return std::nullopt;
    return unifiedDiffOfLines(name, before, after, lines, context);
}

std::string contentDiff(std::string_view name, const ModifiedContent& content, int context) {
    if (std::optional<std::string> diff = splicedDiff(name, content, context)) return std::move(*diff);
    return unifiedDiff(name, content.original, content.bytes, context);
}

}  // namespace vsr::engine
