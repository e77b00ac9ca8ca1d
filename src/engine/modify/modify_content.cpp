#include "engine/modify/modify_content.h"

#include <cstring>

#include "engine/decode/damaged_units.h"
#include "engine/decode/file_text.h"
#include "engine/decode/text_encoder.h"
#include "engine/modify/byte_scan.h"
#include "engine/modify/modify_edits.h"

namespace vsr::engine {

namespace {

// Whether joining the lines of `text` with `separator` gives back every line end as it was:
// LF line ends written with LF, or a text with no line end at all.
bool keepsLineEnds(std::string_view text, LineSeparator separator) {
    if (std::memchr(text.data(), '\r', text.size())) return false;
    return separator == LineSeparator::Unix || !std::memchr(text.data(), '\n', text.size());
}

// Whether the text has a NUL byte or a line end the separator would not write back as it is.
bool changesLineEndsOrHoldsNul(std::string_view text, LineSeparator separator) {
    if (separator == LineSeparator::Unix) return holdsEither(text, '\0', '\r');
    return std::memchr(text.data(), '\0', text.size()) || !keepsLineEnds(text, separator);
}

// Whether the phrase engine may splice its edits into the bytes of a text whose line ends the
// separator writes back as they are and which has no NUL byte: a phrase over the whole file then
// changes only the bytes of its occurrences, which equals splitting the text into lines, editing
// them and joining them again.
bool phraseSplices(ModifyContext& context) {
    const SearchConditions& c = context.conditions();
    return c.searchType == SearchType::Phrase && !c.phraseIntervals && context.query().scanners().size() <= 1;
}

void clearMade(ModifiedContent& result);

// How the lines are ended when they are joined again: all with the separator, or each with its
// own (a file in an encoding of its own, which is written back as it came).
struct LineEnds {
    LineSeparator separator = LineSeparator::Unix;
    bool own = false;
};

// How the phrase's edits of `original` went: Spliced (into `result`), or not, the edits dropped,
// because the work stopped (`result.outcome` says so) or because the bytes can't be spliced.
enum class PhraseSplice { Spliced, Ended, NotSpliceable };

// The phrase's edits of `original` into `result`, when phraseSplices. With the line ends written
// as LF, whether the text holds a NUL byte or CR is seen while its edits are found, rather than
// by a pass of its own before.
PhraseSplice phraseEdits(ModifyContext& context, std::string_view original, ModifiedContent& result,
                         LineEnds ends, const std::vector<Occurrence>* found = nullptr) {
    const LineSeparator separator = ends.separator;
    bool nulOrCr = false;
    if (ends.own) {
        // Splicing keeps every line end as it is; only the bytes after a NUL must stay untouched.
        if (std::memchr(original.data(), '\0', original.size())) return PhraseSplice::NotSpliceable;
        result.outcome = PhraseEdits(context, original, result.edits, result.inserted, result.editsChange, found);
    } else if (separator == LineSeparator::Unix) {
        result.outcome =
            PhraseEdits(context, original, result.edits, result.inserted, result.editsChange, found, &nulOrCr);
    } else if (changesLineEndsOrHoldsNul(original, separator)) {
        return PhraseSplice::NotSpliceable;
    } else {
        result.outcome = PhraseEdits(context, original, result.edits, result.inserted, result.editsChange, found);
    }
    if (context.stopped()) result.outcome = EngineOutcome::Stopped;
    if (result.outcome == EngineOutcome::Done) {
        result.spliced = true;
        return PhraseSplice::Spliced;
    }
    const bool stopped = result.outcome == EngineOutcome::Stopped;
    clearMade(result);
    if (stopped) result.outcome = EngineOutcome::Stopped;
    return nulOrCr && !stopped ? PhraseSplice::NotSpliceable : PhraseSplice::Ended;
}

void clearMade(ModifiedContent& result) {
    result.outcome = EngineOutcome::Failed;
    result.decoded = false;
    result.textBefore.clear();
    result.textAfter.clear();
    result.failure.clear();
    result.spliced = false;
    result.editsChange = false;
    result.bytesMade = true;
    result.bytes.clear();
    result.edits.clear();
    result.inserted.clear();
    result.tally = {};
    result.leftAlone = false;
}

// A choice made on other bytes than these names edits the user never saw: the file fails.
bool staleChoice(ModifyContext& context, std::string_view original, ModifiedContent& result) {
    const SkippedEdits* skipped = context.skippedEdits();
    if (!skipped || !skipped->reviewed || *skipped->reviewed == reviewHash(original)) return false;
    result.outcome = EngineOutcome::Failed;
    result.failure = kChangedSinceReview;
    return true;
}

// What the engine did with the file's edits, and whether the choice leaves it alone.
void takeTally(ModifyContext& context, ModifiedContent& result) {
    result.tally = context.tally();
    result.leftAlone = result.outcome == EngineOutcome::Done && context.allEditsSkipped();
}

// The engine of the search type over the lines of `result.original`, joined again.
void modifyLines(ModifyContext& context, ModifiedContent& result, const results::ModificationInterval& interval,
                 LineEnds ends) {
    context.restartEdits();
    FileModel model(std::move(result.original));
    model.ownLineEnds = ends.own;
    switch (context.conditions().searchType) {
        case SearchType::Phrase: result.outcome = PhraseModify(context, model, interval); break;
        case SearchType::RegExpr: result.outcome = RegExprModify(context, model, interval); break;
        case SearchType::Multiline: result.outcome = MultilineModify(context, model); break;
    }
    // Stop wins over any other outcome: a stopped file is left alone.
    if (context.stopped()) result.outcome = EngineOutcome::Stopped;
    if (result.outcome == EngineOutcome::Done)
        result.bytes = ends.own ? joinFileModelOwnEnds(model, ends.separator) : joinFileModel(model, ends.separator);
    result.original = model.takeOriginal();
}

// The engine over text of the chosen encoding in `result.original`, into `result.bytes`.
void modifyText(ModifyContext& context, ModifiedContent& result, const results::ModificationInterval& interval,
                LineEnds ends) {
    if (phraseSplices(context)) {
        switch (phraseEdits(context, result.original, result, ends)) {
            case PhraseSplice::Spliced: spliceEdits(result.original, result.edits, result.inserted, result.bytes); return;
            case PhraseSplice::Ended: return;
            case PhraseSplice::NotSpliceable: break;
        }
    }
    modifyLines(context, result, interval, ends);
}

// The engine over the text of a file in an encoding of its own (`text`, of result.original),
// and the new text back in that encoding, each line with the line end it had: such a file is
// written back as it came, whatever the separator (that only ends lines that have none of
// their own in a file without line ends).
void modifyDecoded(ModifyContext& context, ModifiedContent& result, const FileText& text,
                   const results::ModificationInterval& interval, LineSeparator separator) {
    const platform::CodePageId chosen = context.conditions().textEncoding;
    if (!text.modifiable()) {
        result.failure = unmodifiableReason(text, chosen);
        return;
    }
    ModifiedContent inner;
    inner.original.assign(text.text);
    modifyText(context, inner, interval, {separator, true});
    result.outcome = inner.outcome;
    result.edits = std::move(inner.edits);
    if (inner.outcome != EngineOutcome::Done) return;
    EncodedFile written = encodeFileText(text.fileEncoding, chosen, inner.bytes);
    if (written.refused) {
        result.outcome = EngineOutcome::Failed;
        result.failure = unwritableReason(text.fileEncoding, written);
        result.edits.clear();
        return;
    }
    result.decoded = true;
    result.bytes = std::move(written.bytes);
    if (text.damaged) {
        result.textBefore = damaged::shown(inner.original);
        result.textAfter = damaged::shown(inner.bytes);
        return;
    }
    result.textBefore = std::move(inner.original);
    result.textAfter = std::move(inner.bytes);
}

}  // namespace

void modifyContent(ModifyContext& context, ModifiedContent& result, const results::ModificationInterval& interval,
                   LineSeparator separator) {
    clearMade(result);
    context.restartEdits();
    if (staleChoice(context, result.original, result)) return;
    std::string scratch;
    const FileText text = readFileText(result.original, TextReading::forWriting(context.conditions()), scratch);
    if (text.kind == TextKind::Bytes) modifyText(context, result, interval, {separator});
    else modifyDecoded(context, result, text, interval, separator);
    takeTally(context, result);
}

void modifyEdits(ModifyContext& context, std::string_view original, ModifiedContent& result,
                 const results::ModificationInterval& interval, LineSeparator separator,
                 const std::vector<Occurrence>* found) {
    clearMade(result);
    result.original.clear();
    context.restartEdits();
    if (staleChoice(context, original, result)) return;
    std::string scratch;
    if (readFileText(original, TextReading::of(context.conditions()), scratch).kind != TextKind::Bytes) {
        // The edits of a decoded text say nothing of the bytes: the whole way, as Modify goes.
        result.original.assign(original);
        modifyContent(context, result, interval, separator);
        return;
    }
    if (phraseSplices(context)) {
        switch (phraseEdits(context, original, result, {separator}, found)) {
            case PhraseSplice::Spliced:
                if (spliceDiffable(original, result)) {
                    result.bytesMade = false;
                    takeTally(context, result);
                    return;
                }
                result.original.assign(original);
                spliceEdits(result.original, result.edits, result.inserted, result.bytes);
                takeTally(context, result);
                return;
            case PhraseSplice::Ended: return;
            case PhraseSplice::NotSpliceable: break;
        }
    }
    result.original.assign(original);
    modifyLines(context, result, interval, {separator});
    takeTally(context, result);
}

bool spliceDiffable(std::string_view before, const ModifiedContent& content) {
    if (!content.spliced) return false;
    const std::string_view inserted = content.inserted;
    if (std::memchr(inserted.data(), '\n', inserted.size()) || std::memchr(inserted.data(), '\0', inserted.size()))
        return false;
    // A last line without a line feed that its edits empty is gone from the new text.
    if (content.edits.empty() || before.empty() || before.back() == '\n') return true;
    const void* lf = memrchr(before.data(), '\n', before.size());
    const std::size_t lastLine = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - before.data()) + 1 : 0;
    std::size_t length = before.size() - lastLine;
    for (auto e = content.edits.rbegin(); e != content.edits.rend() && e->offset >= lastLine; ++e)
        length += e->newLength - e->length;
    return length != 0;
}

ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator) {
    ModifiedContent result;
    result.original = std::move(original);
    modifyContent(context, result, interval, separator);
    return result;
}

std::optional<std::string> readModifiable(durable::FileStore& files, platform::AttributeChanger& attributes,
                                          const std::string& path, bool createBackups,
                                          const ModifyOptions& options, WriteMarks& prep,
                                          platform::FileStamp* stamp) {
    prep = checkWriteMarks(path, createBackups, {options.replaceReadOnly, options.replaceHidden}, attributes);
    // Read-only, hidden and system files that were not cleared are refused, as the system
    // refuses to open them for writing; so is a file that vanished since the search.
    if (!prep.writable()) return std::nullopt;
    return files.read(path, stamp);
}

}  // namespace vsr::engine
