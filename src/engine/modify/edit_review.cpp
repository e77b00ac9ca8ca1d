#include "engine/modify/edit_review.h"

#include <algorithm>

namespace vsr::engine {
namespace {

std::string joinedWithLf(std::span<const std::string_view> lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += '\n';
        out.append(lines[i]);
    }
    return out;
}

// The lines of a text joined with "\n"; an empty text is one empty line.
std::vector<std::string> splitAtLf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', from)) {
        lines.emplace_back(text.substr(from, lf - from));
        from = lf + 1;
    }
    lines.emplace_back(text.substr(from));
    return lines;
}

// A replacement's line breaks (CR LF, LF or CR) as "\n".
std::string withLfBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Leaves out of both marks the bytes they share at their edges, never cutting a UTF-8
// character in two (on a single-byte page that only widens a mark now and then).
void narrowMarks(const std::string& oldText, ReviewSide& before, const std::string& newText, ReviewSide& after) {
    std::size_t prefix = 0;
    while (before.begin + prefix < before.end && after.begin + prefix < after.end &&
           oldText[before.begin + prefix] == newText[after.begin + prefix])
        ++prefix;
    while (prefix > 0 && ((before.begin + prefix < oldText.size() && continuationByte(oldText[before.begin + prefix])) ||
                          (after.begin + prefix < newText.size() && continuationByte(newText[after.begin + prefix]))))
        --prefix;
    before.begin += prefix;
    after.begin += prefix;
    std::size_t suffix = 0;
    while (before.end - suffix > before.begin && after.end - suffix > after.begin &&
           oldText[before.end - suffix - 1] == newText[after.end - suffix - 1])
        ++suffix;
    while (suffix > 0 && ((before.end - suffix < oldText.size() && continuationByte(oldText[before.end - suffix])) ||
                          (after.end - suffix < newText.size() && continuationByte(newText[after.end - suffix]))))
        --suffix;
    before.end -= suffix;
    after.end -= suffix;
}

// Collects the edits an engine makes, for a review.
class ReviewCollector final : public EditObserver {
public:
    explicit ReviewCollector(std::vector<ReviewEdit>& edits) : edits_(edits) {}
    void seen(std::size_t ordinal, const SeenEdit& edit) override { edits_.push_back(reviewEdit(ordinal, edit)); }
    void restart() override { edits_.clear(); }

private:
    std::vector<ReviewEdit>& edits_;
};

}  // namespace

ReviewEdit reviewEdit(std::size_t ordinal, const SeenEdit& edit) {
    ReviewEdit r;
    r.ordinal = ordinal;
    r.line = edit.line + 1;
    r.column = edit.newLines ? 0 : edit.begin;
    for (std::string_view line : edit.oldLines) r.before.lines.emplace_back(line);
    const std::string oldText = joinedWithLf(edit.oldLines);
    std::size_t lastStart = 0;
    for (std::size_t i = 0; i + 1 < edit.oldLines.size(); ++i) lastStart += edit.oldLines[i].size() + 1;
    std::string newText;
    if (edit.newLines) {
        newText = joinedWithLf(*edit.newLines);
        r.before.begin = 0;
        r.before.end = oldText.size();
        r.after.begin = 0;
        r.after.end = newText.size();
        for (std::string_view line : *edit.newLines) r.after.lines.emplace_back(line);
    } else {
        const std::string replacement = withLfBreaks(edit.replacement);
        r.before.begin = std::min(edit.begin, oldText.size());
        r.before.end = std::clamp(lastStart + edit.end, r.before.begin, oldText.size());
        newText = oldText.substr(0, r.before.begin) + replacement + oldText.substr(r.before.end);
        r.after.begin = r.before.begin;
        r.after.end = r.before.begin + replacement.size();
        r.after.lines = splitAtLf(newText);
    }
    narrowMarks(oldText, r.before, newText, r.after);
    return r;
}

FileReview reviewRow(ModifyEnv env, SearchSink& sink, RunControl& control, const results::ResultItem& item,
                     const SearchConditions& conditions, const ModifyOptions& options) {
    FileReview review;
    ReviewCollector collector(review.edits);
    RowPreview preview = previewRow(env, sink, control, item, conditions, options, nullptr, &collector);
    review.state = preview.state;
    review.hash = reviewHash(preview.content.original);
    review.failure = preview.content.failure;
    if (preview.content.outcome != EngineOutcome::Done) review.edits.clear();
    return review;
}

}  // namespace vsr::engine
