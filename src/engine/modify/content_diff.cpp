#include "engine/modify/content_diff.h"

#include <cstring>
#include <vector>

#include "engine/modify/byte_scan.h"
#include "engine/modify/thread_buffer.h"
#include "engine/modify/unified_diff.h"

namespace vsr::engine {

std::optional<std::string> splicedDiff(std::string_view name, std::string_view before, const ModifiedContent& content,
                                       int context) {
    if (content.outcome != EngineOutcome::Done || !spliceDiffable(before, content)) return std::nullopt;
    const std::vector<TextEdit>& edits = content.edits;
    const std::string_view inserted = content.inserted;

    // Each changed line, with its edits and where the new text of the first starts.
    struct LineEdits {
        std::size_t firstEdit, endEdit, firstInserted;
    };
    // A thread reuses these from one file to the next.
    thread_local std::vector<ReplacedLine> keptLines;
    thread_local std::vector<LineEdits> keptSources;
    ThreadBuffer<ReplacedLine> linesBuffer(keptLines);
    ThreadBuffer<LineEdits> sourcesBuffer(keptSources);
    std::vector<ReplacedLine>& lines = *linesBuffer;
    std::vector<LineEdits>& sources = *sourcesBuffer;
    // The new line: the old one with the new texts of its edits in place of their occurrences.
    auto write = [&](char* out, const ReplacedLine& line, const LineEdits& source) {
        auto put = [&out](const char* from, std::size_t n) {
            std::memcpy(out, from, n);
            out += n;
        };
        std::size_t copied = line.oldBegin, from = source.firstInserted;
        for (std::size_t k = source.firstEdit; k < source.endEdit; ++k) {
            const TextEdit& e = edits[k];
            put(before.data() + copied, e.offset - copied);
            put(inserted.data() + from, e.newLength);
            from += e.newLength;
            copied = e.offset + e.length;
        }
        put(before.data() + copied, line.oldEnd - copied);
        return out;
    };
    std::string scratch;
    std::size_t taken = 0;  // the new texts of the edits before edits[k]
    for (std::size_t k = 0; k < edits.size();) {
        const TextEdit& first = edits[k];
        const std::size_t firstInserted = taken;
        std::size_t growth = 0;  // modulo 2^N: the line may shrink
        bool same = true;
        std::size_t m = k;
        for (; m < edits.size() && edits[m].line == first.line; ++m) {
            const TextEdit& e = edits[m];
            same = same && e.newLength == e.length &&
                   std::memcmp(inserted.data() + taken, before.data() + e.offset, e.length) == 0;
            growth += e.newLength - e.length;
            taken += e.newLength;
        }
        const std::size_t lastEnd = edits[m - 1].offset + edits[m - 1].length;
        std::size_t seen = 0;
        const std::size_t lf = nthFeed(before.data() + lastEnd, before.size() - lastEnd, 1, seen);
        const std::size_t lineEnd = lastEnd + lf + (lf < before.size() - lastEnd ? 1 : 0);
        const ReplacedLine line{first.line, first.offset - first.column, lineEnd, lineEnd - (first.offset - first.column) + growth};
        const LineEdits source{k, m, firstInserted};
        // Edits that each put back what they took out leave the line as it was; so may edits of
        // unequal occurrences that add up to the same length.
        if (!same && growth == 0) {
            scratch.resize(line.newLength);
            write(scratch.data(), line, source);
            same = scratch == before.substr(line.oldBegin, line.oldEnd - line.oldBegin);
        }
        if (!same) {
            lines.push_back(line);
            sources.push_back(source);
        }
        k = m;
    }
    const auto writeNew = [&](char* at, std::size_t index) { return write(at, lines[index], sources[index]); };
    return unifiedDiffOfLines(name, before, lines, writeNew, context);
}

std::string contentDiff(std::string_view name, std::string_view before, const ModifiedContent& content, int context) {
    // A file in an encoding of its own shows the change of its text, as the window would.
    if (content.decoded) return unifiedDiff(name, content.textBefore, content.textAfter, context);
    if (std::optional<std::string> diff = splicedDiff(name, before, content, context)) return std::move(*diff);
    return unifiedDiff(name, before, content.bytes, context);
}

}  // namespace vsr::engine
