#include "engine/modify/modify_content.h"

#include <cstring>

#include "engine/modify/modify_edits.h"

namespace vsr::engine {

namespace {

// Whether joining the lines of `text` with `separator` gives back every line end as it was:
// LF line ends written with LF, or a text with no line end at all.
bool keepsLineEnds(std::string_view text, LineSeparator separator) {
    if (std::memchr(text.data(), '\r', text.size())) return false;
    return separator == LineSeparator::Unix || !std::memchr(text.data(), '\n', text.size());
}

}  // namespace

void modifyContent(ModifyContext& context, ModifiedContent& result, const results::ModificationInterval& interval,
                   LineSeparator separator) {
    result.outcome = EngineOutcome::Failed;
    result.spliced = false;
    result.bytes.clear();
    result.edits.clear();
    const std::string& original = result.original;
    // A phrase over the whole file whose line ends stay as they are changes only the bytes of
    // its occurrences: the new text is the old one with the replacements spliced in, which
    // equals splitting it into lines, editing them and joining them again.
    const SearchConditions& c = context.conditions();
    if (c.searchType == SearchType::Phrase && !c.phraseIntervals && context.query().scanners().size() <= 1 &&
        !std::memchr(original.data(), '\0', original.size()) && keepsLineEnds(original, separator)) {
        result.outcome = PhraseSplice(context, original, result.bytes, result.edits);
        if (context.stopped()) result.outcome = EngineOutcome::Stopped;
        if (result.outcome == EngineOutcome::Done) {
            result.spliced = true;
        } else {
            result.bytes.clear();
            result.edits.clear();
        }
        return;
    }
    FileModel model(std::move(result.original));
    switch (context.conditions().searchType) {
        case SearchType::Phrase: result.outcome = PhraseModify(context, model, interval); break;
        case SearchType::RegExpr: result.outcome = RegExprModify(context, model, interval); break;
        case SearchType::Multiline: result.outcome = MultilineModify(context, model); break;
    }
    // Stop wins over any other outcome: a stopped file is left alone.
    if (context.stopped()) result.outcome = EngineOutcome::Stopped;
    if (result.outcome == EngineOutcome::Done) result.bytes = joinFileModel(model, separator);
    result.original = model.takeOriginal();
}

ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator) {
    ModifiedContent result;
    result.original = std::move(original);
    modifyContent(context, result, interval, separator);
    return result;
}

std::optional<std::string> readModifiable(platform::FileStore& files, platform::AttributeChanger& attributes,
                                          const std::string& path, bool createBackups,
                                          const ModifyOptions& options, FilePreparation& prep,
                                          platform::FileStamp* stamp) {
    prep = prepareFile(path, createBackups, {options.replaceReadOnly, options.replaceHidden}, attributes);
    // Read-only, hidden and system files that were not cleared are refused, as the system
    // refuses to open them for writing; so is a file that vanished since the search.
    if (!prep.writable()) return std::nullopt;
    return files.read(path, stamp);
}

}  // namespace vsr::engine
