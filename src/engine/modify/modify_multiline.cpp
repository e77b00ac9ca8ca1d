#include "engine/modify/modify_multiline.h"

#include <iterator>

#include "engine/query/query_terms.h"

namespace vsr::engine {
namespace {

std::string normalized(std::string_view line, const SearchConditions& c, const platform::CodePage& page) {
    if (c.trimLeading) line = trimLeft(line);
    if (c.trimTrailing) line = trimRight(line);
    return c.caseSensitive ? std::string(line) : page.toUpper(line);
}

}  // namespace

bool findMultilineBlocks(ModifyContext& context, const std::vector<std::string_view>& lines,
                         std::vector<std::size_t>& starts) {
    const SearchConditions& c = context.conditions();
    const platform::CodePage& page = context.codePage();
    starts.clear();
    const std::size_t k = c.searchLines.size();
    if (k == 0 || lines.size() < k) return true;
    std::vector<std::string> query;
    query.reserve(k);
    for (const std::string& q : c.searchLines) query.push_back(normalized(q, c, page));
    // Each file line is normalised once; blocks are then compared line by line.
    std::vector<std::string> norm;
    norm.reserve(lines.size());
    for (std::string_view line : lines) norm.push_back(normalized(line, c, page));

    std::size_t nextFree = 0;  // the first line not inside a kept block
    for (std::size_t s = 0; s + k <= norm.size(); ++s) {
        context.pumpIfDue(25);
        if (context.stopped()) return false;
        if (s < nextFree) continue;
        bool match = true;
        for (std::size_t j = 0; j < k && match; ++j) match = norm[s + j] == query[j];
        if (match) {
            starts.push_back(s);
            nextFree = s + k;
        }
    }
    return true;
}

EngineOutcome MultilineModify(ModifyContext& context, FileModel& model) {
    const SearchConditions& c = context.conditions();
    if (insertsReplacement(c.modificationType))
        for (const std::string& line : c.replaceLines)
            if (line.size() > kMaxReplaceLine) {
                context.failRun(kReplaceLinesTooLong);
                return EngineOutcome::Stopped;
            }
    std::vector<std::size_t> starts;
    if (!findMultilineBlocks(context, model.lines, starts)) return EngineOutcome::Stopped;
    if (starts.empty()) return EngineOutcome::Done;

    const std::size_t k = c.searchLines.size();
    const ModificationType type = c.modificationType;
    std::vector<std::string_view> insertion;
    if (type == ModificationType::Clear) insertion.assign(k, std::string_view());
    else if (type != ModificationType::Delete)
        for (const std::string& line : c.replaceLines) insertion.push_back(model.keep(line));

    // The new model is built in one pass: the lines between blocks are moved over, each block
    // becomes what the type makes of it. This equals editing block by block while tracking the
    // shift, without moving the tail of the file once per block.
    std::vector<std::string_view> out;
    out.reserve(model.lines.size() + starts.size() * insertion.size());
    std::size_t next = 0;
    for (std::size_t s : starts) {
        context.pumpIfDue(15);
        if (context.stopped()) return EngineOutcome::Stopped;
        std::move(model.lines.begin() + static_cast<std::ptrdiff_t>(next),
                  model.lines.begin() + static_cast<std::ptrdiff_t>(s), std::back_inserter(out));
        auto blockBegin = model.lines.begin() + static_cast<std::ptrdiff_t>(s);
        auto blockEnd = blockBegin + static_cast<std::ptrdiff_t>(k);
        switch (type) {
            case ModificationType::Replace:
            case ModificationType::Clear: out.insert(out.end(), insertion.begin(), insertion.end()); break;
            case ModificationType::InsertBefore:
                out.insert(out.end(), insertion.begin(), insertion.end());
                std::move(blockBegin, blockEnd, std::back_inserter(out));
                break;
            case ModificationType::InsertAfter:
                std::move(blockBegin, blockEnd, std::back_inserter(out));
                out.insert(out.end(), insertion.begin(), insertion.end());
                break;
            case ModificationType::Delete: break;
            case ModificationType::None: std::move(blockBegin, blockEnd, std::back_inserter(out)); break;
        }
        next = s + k;
    }
    std::move(model.lines.begin() + static_cast<std::ptrdiff_t>(next), model.lines.end(), std::back_inserter(out));
    model.lines = std::move(out);
    return EngineOutcome::Done;
}

}  // namespace vsr::engine
