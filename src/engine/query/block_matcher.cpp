#include "engine/query/block_matcher.h"

#include "engine/query/case_fold.h"
#include "engine/query/text_lines.h"

namespace vsr::engine {

BlockMatcher::BlockMatcher(SearchRun& run) : run_(run) {
    const SearchConditions& c = run.conditions();
    for (const std::string& line : c.multiLineQuery()) {
        std::string norm = c.caseSensitive ? line : run.codePage().toUpper(line);
        std::string_view v = norm;
        if (c.trimLeading) v = trimLeft(v);
        if (c.trimTrailing) v = trimRight(v);
        query_.emplace_back(v);
    }
}

bool BlockMatcher::checkQuery() { return run_.checkQueryLines(); }

bool BlockMatcher::findBlocks(const std::string& fullName, std::vector<std::int64_t>& starts) {
    starts.clear();
    if (run_.readFile(fullName) != platform::ReadStatus::Ok) return false;
    const SearchConditions& c = run_.conditions();
    platform::FileBuffer& buf = run_.buffer();
    if (!c.caseSensitive) foldUpper(run_.codePage(), buf.data(), buf.data(), buf.size());
    // Lines as views into the buffer, normalized by trimming the views.
    std::vector<std::string_view>& lines = lines_;
    lines.clear();
    LineCursor cursor(buf.view());
    std::string_view line;
    while (cursor.next(line)) {
        if (c.trimLeading) line = trimLeft(line);
        if (c.trimTrailing) line = trimRight(line);
        lines.push_back(line);
    }
    const std::size_t k = query_.size();
    const std::size_t n = lines.size();
    // Under UTF-8 the buffer was folded for ASCII only; the rest is folded while comparing.
    const platform::CodePage& page = run_.codePage();
    const bool byCharacter = !c.caseSensitive && page.isUtf8();
    if (k == 0 || n < k) return true;
    unsigned sincePump = 0;
    std::size_t s = 0;
    while (s + k <= n) {
        std::size_t i = 0;
        for (; i < k; ++i) {
            if (++sincePump == 256) {
                sincePump = 0;
                if (run_.stopped()) return false;
            }
            if (byCharacter ? !page.sameFolded(lines[s + i], query_[i]) : lines[s + i] != query_[i]) break;
        }
        if (i == k) {
            starts.push_back(static_cast<std::int64_t>(s) + 1);
            s += k;
        } else {
            ++s;
        }
    }
    return true;
}

void BlockMatcher::matchFile(const std::string& dir, platform::DirEntry& entry) {
    TermList& terms = run_.terms();
    if (isEmptyMemo(run_.conditions().multiLineQuery())) {
        run_.removeFoundColumn();
        terms.terms.assign(1, QueryTerm{});
        run_.listFile(dir, entry, {0});
        return;
    }
    if (!checkQuery()) return;
    std::vector<std::int64_t> starts;
    bool ok = findBlocks(run_.fullPath(dir, entry.name), starts);
    if (run_.stopped()) return;
    std::int64_t count = ok ? static_cast<std::int64_t>(starts.size()) : 0;
    terms.terms.assign(1, QueryTerm{});
    terms.terms[0].foundCount = count;
    if (count > 0) run_.listFile(dir, entry, {count});
}

}  // namespace vsr::engine
