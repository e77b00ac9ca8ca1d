#include "engine/modify/modify_edits.h"

#include "engine/modify/byte_scan.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vsr::engine {
namespace {

// Rebuilds lines of the model from the matches in them, line after line: the text between
// matches is copied, each match is replaced by what the modification type makes of it.
class LineEditor {
public:
    explicit LineEditor(FileModel& model) : model_(model) {}

    // The match of `length` bytes at `start` of line `line` becomes `replacement`.
    void edit(std::size_t line, std::size_t start, std::size_t length, std::string_view replacement) {
        if (line != line_) {
            flush();
            line_ = line;
            copied_ = 0;
            source_ = model_.lines[line];
            out_.reserve(source_.size() + source_.size() / 8 + replacement.size());
        }
        out_.append(source_.substr(copied_, start - copied_));
        out_.append(replacement);
        copied_ = start + length;
    }
    void flush() {
        if (line_ == kNone) return;
        out_.append(source_.substr(copied_));
        model_.lines[line_] = model_.keepLine(std::move(out_), source_);
        out_ = std::string();
        line_ = kNone;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    FileModel& model_;
    std::size_t line_ = kNone;
    std::size_t copied_ = 0;
    std::string_view source_;
    std::string out_;
};

// What stands in place of `match` for the modification type, given the text it inserts.
void replacementFor(ModificationType type, std::string_view match, std::string_view insertion, std::string& out) {
    out.clear();
    switch (type) {
        case ModificationType::Replace: out.assign(insertion); break;
        case ModificationType::InsertBefore: out.assign(insertion).append(match); break;
        case ModificationType::InsertAfter: out.assign(match).append(insertion); break;
        case ModificationType::Clear:
        case ModificationType::Delete:
        case ModificationType::None: break;
    }
}

// Tells the context's observer of an edit within line `line` of the model.
void noteLineEdit(ModifyContext& context, const FileModel& model, std::size_t line, std::size_t column,
                  std::size_t length, std::string_view replacement) {
    if (!context.observing()) return;
    SeenEdit seen;
    seen.line = line;
    seen.oldLines = std::span<const std::string_view>(&model.lines[line], 1);
    seen.begin = column;
    seen.end = column + length;
    seen.replacement = replacement;
    context.noteEdit(seen);
}

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    return out;
}

EngineOutcome reportAndStop(ModifyContext& context, const QueryRefusal& error) {
    context.sink().message(error.caption, error.message, MessageIcon::Exclamation);
    context.requestStop();
    return EngineOutcome::Stopped;
}

// A line of the text to insert is longer than a line may be: the run ends with the message.
bool replaceLinesTooLong(ModifyContext& context) {
    const SearchConditions& c = context.conditions();
    if (!insertsReplacement(c.modificationType)) return false;
    for (const std::string& line : c.replaceLines)
        if (line.size() > kMaxReplaceLine) {
            context.failRun(kReplaceLinesTooLong);
            return true;
        }
    return false;
}

EngineOutcome outcomeOf(ModifyContext& context, ScanEnd end) {
    if (end == ScanEnd::ExpressionError) return reportAndStop(context, context.matcher()->error());
    if (end == ScanEnd::Stopped || context.stopped()) return EngineOutcome::Stopped;
    return EngineOutcome::Done;
}

// The bytes of text a splice scans between two looks at Stop.
constexpr std::size_t kSpliceSlice = 1 << 20;
// The occurrences a splice replaces between two looks at Stop.
constexpr std::size_t kSpliceEdits = 64;

// What a phrase occurrence becomes, appended to `out`; Clear puts as many blanks as the
// occurrence has characters.
void appendPhraseReplacement(ModifyContext& context, std::string_view match, std::string& out) {
    const SearchConditions& c = context.conditions();
    switch (c.modificationType) {
        case ModificationType::Clear: out.append(context.codePage().length(match), ' '); break;
        case ModificationType::Replace: out.append(c.replaceText); break;
        case ModificationType::InsertBefore: out.append(c.replaceText).append(match); break;
        case ModificationType::InsertAfter: out.append(match).append(c.replaceText); break;
        case ModificationType::Delete:
        case ModificationType::None: break;
    }
}

// The phrase engines refuse a text to insert that is too long, ending the run.
bool replaceTextTooLong(ModifyContext& context) {
    const SearchConditions& c = context.conditions();
    if (!insertsReplacement(c.modificationType) || c.replaceText.size() <= kMaxReplaceText) return false;
    context.failRun(kReplaceTextTooLong);
    return true;
}

}  // namespace

EngineOutcome PhraseModify(ModifyContext& context, FileModel& model, const results::ModificationInterval& interval) {
    const SearchConditions& c = context.conditions();
    if (replaceTextTooLong(context)) return EngineOutcome::Stopped;
    std::size_t first = 1;
    std::size_t last = model.lines.size();
    if (c.phraseIntervals) {
        if (interval.isNil()) return EngineOutcome::Done;
        LineRange range = intervalRange(interval, model.lines.size());
        if (!range.valid) return EngineOutcome::Failed;
        first = range.first;
        last = range.last;
    }
    LineEditor editor(model);
    std::string replacement;
    const ScanEnd end = context.matcher()->scan(model.text(), [&](const MatchSpan& span) {
        if (span.line + 1 < first || span.line + 1 > last) return true;
        if (!context.keepEdit()) return true;
        const std::string_view match = model.lines[span.line].substr(span.column, span.length);
        replacement.clear();
        appendPhraseReplacement(context, match, replacement);
        noteLineEdit(context, model, span.line, span.column, span.length, replacement);
        editor.edit(span.line, span.column, span.length, replacement);
        return true;
    });
    editor.flush();
    return outcomeOf(context, end);
}

namespace {

// Turns the occurrences of the phrase, in order, into edits.
class PhraseEditor {
public:
    PhraseEditor(ModifyContext& context, std::string_view text, std::vector<TextEdit>& edits, std::string& inserted,
                 bool& changes)
        : context_(context), text_(text), edits_(edits), inserted_(inserted), changes_(changes) {}

    // The occurrence [p, end); false when Stop ended the work, or when the editor looks for NUL
    // bytes and CRs (lookForNulOrCr) and the text before the occurrence holds one.
    bool add(std::size_t p, std::size_t end) {
        const SpanScan span = scanSpan(text_.data() + counted_, p - counted_);
        if (span.feeds) {
            line_ += span.feeds;
            lineStart_ = counted_ + span.lastFeed + 1;
        }
        if (lookForNulOrCr_ && span.nulOrCr) {
            nulOrCr_ = true;
            return false;
        }
        counted_ = p;
        if (!context_.keepEdit()) return true;
        const std::string_view match = text_.substr(p, end - p);
        const std::size_t before = inserted_.size();
        appendPhraseReplacement(context_, match, inserted_);
        const std::size_t added = inserted_.size() - before;
        changes_ = changes_ || added != match.size() || inserted_.compare(before, added, match) != 0;
        edits_.push_back({p, end - p, added, line_, p - lineStart_});
        if (context_.observing()) note(p, end, std::string_view(inserted_).substr(before, added));
        // Many occurrences are work too: Stop is looked at as often as a scan line by line would.
        if (edits_.size() % kSpliceEdits == 0) {
            context_.pumpIfDue(20);
            if (context_.stopped()) return false;
        }
        return true;
    }

    void lookForNulOrCr() { lookForNulOrCr_ = true; }
    // Tells the observer of the occurrence [p, end) and its new text, with the line it is on.
    void note(std::size_t p, std::size_t end, std::string_view replacement) {
        std::size_t lineEnd = text_.find('\n', p);
        if (lineEnd == std::string_view::npos) lineEnd = text_.size();
        if (lineEnd > end && text_[lineEnd - 1] == '\r') --lineEnd;
        const std::string_view line = text_.substr(lineStart_, lineEnd - lineStart_);
        SeenEdit seen;
        seen.line = line_;
        seen.oldLines = std::span<const std::string_view>(&line, 1);
        seen.begin = p - lineStart_;
        seen.end = end - lineStart_;
        seen.replacement = replacement;
        context_.noteEdit(seen);
    }
    // Whether the text holds a NUL byte or a CR, once the occurrences are all added: the bytes
    // the occurrences were found between were looked at then, the rest is looked at now.
    bool holdsNulOrCr() {
        if (!nulOrCr_) nulOrCr_ = holdsEither(text_.substr(counted_), '\0', '\r');
        return nulOrCr_;
    }
    // Whether add() refused an occurrence for a NUL byte or CR before it.
    bool refused() const { return nulOrCr_; }

private:
    ModifyContext& context_;
    std::string_view text_;
    std::vector<TextEdit>& edits_;
    std::string& inserted_;
    bool& changes_;
    std::size_t counted_ = 0, line_ = 0, lineStart_ = 0;  // the line feeds before `counted_`
    bool lookForNulOrCr_ = false, nulOrCr_ = false;
};

// Whether `found` are occurrences of the phrase in `text`, in order and apart, as a scan finds them.
bool occurrencesOf(const TermScanner& scanner, std::string_view text, const std::vector<Occurrence>& found) {
    std::size_t from = 0, end = 0;
    for (const Occurrence& o : found) {
        if (o.begin < from || o.end > text.size() || !scanner.occursAt(text, o.begin, end) || end != o.end)
            return false;
        from = o.end;
    }
    return true;
}

}  // namespace

EngineOutcome PhraseEdits(ModifyContext& context, std::string_view text, std::vector<TextEdit>& edits,
                          std::string& inserted, bool& changes, const std::vector<Occurrence>* found,
                          bool* nulOrCr) {
    edits.clear();
    inserted.clear();
    changes = false;
    context.restartEdits();
    if (nulOrCr) *nulOrCr = false;
    if (replaceTextTooLong(context)) return EngineOutcome::Stopped;
    const CompiledQuery& query = context.query();
    // The phrase is the query's one term. It holds no line end, so an occurrence in the whole
    // text lies inside a line and is one the line's own scan finds (as the search counts them):
    // the text is scanned at once, in slices between which Stop is looked at.
    const bool usable = query.scanners().size() == 1 && query.usableTerm(0);
    PhraseEditor editor(context, text, edits, inserted, changes);
    if (nulOrCr) editor.lookForNulOrCr();
    // A NUL byte or CR ends the work at once; else the end looks at the rest of the text.
    auto ended = [&](bool stopped) {
        if (nulOrCr && (editor.refused() || (!stopped && editor.holdsNulOrCr()))) {
            *nulOrCr = true;
            return EngineOutcome::Failed;
        }
        return stopped || context.stopped() ? EngineOutcome::Stopped : EngineOutcome::Done;
    };
    if (usable && found && occurrencesOf(query.scanners()[0], text, *found)) {
        for (const Occurrence& o : *found)
            if (!editor.add(o.begin, o.end)) return ended(true);
        return ended(false);
    }
    for (std::size_t from = 0, sliceEnd = kSpliceSlice; usable;) {
        std::size_t end = 0;
        const std::size_t p = query.scanners()[0].next(text, from, sliceEnd, &end);
        if (p == std::string_view::npos) {
            if (sliceEnd >= text.size()) break;
            from = std::max(from, sliceEnd);
            sliceEnd += kSpliceSlice;
            context.pumpIfDue(20);
            if (context.stopped()) return EngineOutcome::Stopped;
            continue;
        }
        if (!editor.add(p, end)) return ended(true);
        from = end;
    }
    return ended(false);
}

void spliceEdits(std::string_view text, const std::vector<TextEdit>& edits, std::string_view inserted,
                 std::string& out) {
    out.clear();
    std::size_t size = text.size() + inserted.size();
    for (const TextEdit& e : edits) size -= e.length;
    out.reserve(size);
    std::size_t copied = 0, taken = 0;
    for (const TextEdit& e : edits) {
        out.append(text.substr(copied, e.offset - copied));
        out.append(inserted.substr(taken, e.newLength));
        taken += e.newLength;
        copied = e.offset + e.length;
    }
    out.append(text.substr(copied));
}

namespace {

// Tells the observer of a match over the whole text (the lines joined with CR LF) and what
// takes its place: the lines it runs over, from its first byte to its end.
void noteSubjectEdit(ModifyContext& context, const FileModel& model, std::string_view subject, const MatchSpan& span,
                     std::string_view replacement) {
    const std::string_view match = subject.substr(span.offset, span.length);
    std::size_t lastLine = span.line;
    std::size_t end = span.column + span.length;
    if (const void* lf = memrchr(match.data(), '\n', match.size())) {
        lastLine += static_cast<std::size_t>(std::count(match.begin(), match.end(), '\n'));
        end = static_cast<std::size_t>(match.data() + match.size() - static_cast<const char*>(lf)) - 1;
    }
    if (span.line >= model.lines.size()) return;
    // The line end after the last line is none of the file's: the last line's own end stays.
    if (lastLine >= model.lines.size()) {
        lastLine = model.lines.size() - 1;
        end = model.lines[lastLine].size();
    }
    SeenEdit seen;
    seen.line = span.line;
    seen.oldLines = std::span<const std::string_view>(model.lines.data() + span.line, lastLine - span.line + 1);
    seen.begin = span.column;
    // A match that ends on the CR of a line end ends with its line.
    seen.end = std::min(end, model.lines[lastLine].size());
    seen.replacement = replacement;
    context.noteEdit(seen);
}

}  // namespace

EngineOutcome RegExprModify(ModifyContext& context, FileModel& model, const results::ModificationInterval& interval) {
    const SearchConditions& c = context.conditions();
    if (replaceLinesTooLong(context)) return EngineOutcome::Stopped;
    // The expression itself is wrong: every file would fail the same way.
    if (!context.matcher()) return reportAndStop(context, context.query().refusal());
    QueryMatcher& matcher = *context.matcher();
    const std::string templateText =
        c.modificationType == ModificationType::Delete ? std::string() : joinCrLf(c.replaceLines);
    std::string replacement;
    auto replace = [&](const MatchSpan& span) {
        const std::string_view match = matcher.input().substr(span.offset, span.length);
        replacementFor(c.modificationType, match, insertsReplacement(c.modificationType) ? matcher.expand(templateText) : "",
                       replacement);
    };

    if (context.query().byLine()) {
        std::size_t first = 1;
        std::size_t last = model.lines.size();
        if (c.eachLineSeparately && c.regExprIntervals) {
            if (interval.isNil()) return EngineOutcome::Done;
            // Lines outside the file are simply absent here.
            first = interval.from > 0 ? static_cast<std::size_t>(interval.from) : 1;
            if (interval.to > 0 && static_cast<std::size_t>(interval.to) < last) last = static_cast<std::size_t>(interval.to);
        }
        LineEditor editor(model);
        const ScanEnd end = matcher.scan(model.text(), [&](const MatchSpan& span) {
            if (span.line + 1 < first || span.line + 1 > last) return true;
            if (!context.keepEdit()) return true;
            replace(span);
            noteLineEdit(context, model, span.line, span.column, span.length, replacement);
            editor.edit(span.line, span.column, span.length, replacement);
            return true;
        });
        editor.flush();
        matcher.release();
        return outcomeOf(context, end);
    }

    // The whole text: the output is the subject with each match replaced, split into lines again.
    std::string out;
    std::size_t copied = 0;
    bool changed = false;
    std::size_t endsBefore = 0, counted = 0;  // the subject's line ends before `counted`
    // The subject from `copied` to `to`. Its line ends are all CR LF; where the model keeps its
    // own line ends, each of them between matches becomes the end its line had in the file.
    auto copySubject = [&](std::size_t to) {
        const std::string_view subject = matcher.input();
        if (!model.ownLineEnds) {
            out.append(subject.substr(copied, to - copied));
            return;
        }
        for (std::size_t at = counted; at < copied;) {
            const std::size_t lf = subject.find('\n', at);
            if (lf >= copied) break;
            ++endsBefore;
            at = lf + 1;
        }
        std::size_t from = copied;
        for (std::size_t lf = subject.find('\n', from); lf < to; lf = subject.find('\n', from)) {
            const std::string_view own =
                endsBefore < model.lines.size() ? lineEndAfter(model.lines[endsBefore]) : std::string_view();
            ++endsBefore;
            if (lf > copied && subject[lf - 1] == '\r' && !own.empty()) {
                out.append(subject.substr(from, lf - 1 - from));
                out.append(own);
            } else {
                out.append(subject.substr(from, lf + 1 - from));
            }
            from = lf + 1;
        }
        out.append(subject.substr(from, to - from));
        counted = to;
    };
    const ScanEnd end = matcher.scan(model.text(), [&](const MatchSpan& span) {
        if (!context.keepEdit()) return true;
        replace(span);
        if (context.observing()) noteSubjectEdit(context, model, matcher.input(), span, replacement);
        if (!changed) out.reserve(matcher.input().size() + matcher.input().size() / 8);
        copySubject(span.offset);
        out.append(replacement);
        copied = span.offset + span.length;
        changed = true;
        return true;
    });
    if (end == ScanEnd::Done && changed) {
        copySubject(matcher.input().size());
        matcher.release();  // the subject goes before the new text is split into lines
        model.replaceWithText(std::move(out));
    }
    matcher.release();
    return outcomeOf(context, end);
}

EngineOutcome MultilineModify(ModifyContext& context, FileModel& model) {
    const SearchConditions& c = context.conditions();
    if (replaceLinesTooLong(context)) return EngineOutcome::Stopped;
    std::vector<std::size_t> starts;
    const ScanEnd end = context.matcher()->scan(model.text(), [&](const MatchSpan& span) {
        starts.push_back(span.line);
        return true;
    });
    if (end != ScanEnd::Done) return outcomeOf(context, end);
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
        next = s + k;
        // A block the user turned off stays as it is.
        if (!context.keepEdit()) {
            std::move(blockBegin, blockEnd, std::back_inserter(out));
            continue;
        }
        const std::size_t made = out.size();
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
        if (context.observing()) {
            const std::vector<std::string_view> newLines(out.begin() + static_cast<std::ptrdiff_t>(made), out.end());
            SeenEdit seen;
            seen.line = s;
            seen.oldLines = std::span<const std::string_view>(model.lines.data() + s, k);
            seen.end = model.lines[s + k - 1].size();
            seen.newLines = &newLines;
            context.noteEdit(seen);
        }
    }
    std::move(model.lines.begin() + static_cast<std::ptrdiff_t>(next), model.lines.end(), std::back_inserter(out));
    model.lines = std::move(out);
    return EngineOutcome::Done;
}

}  // namespace vsr::engine
