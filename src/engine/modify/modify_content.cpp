#include "engine/modify/modify_content.h"

#include "engine/modify/modify_edits.h"

namespace vsr::engine {

ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator) {
    ModifiedContent result;
    FileModel model(std::move(original));
    switch (context.conditions().searchType) {
        case SearchType::Phrase: result.outcome = PhraseModify(context, model, interval); break;
        case SearchType::RegExpr: result.outcome = RegExprModify(context, model, interval); break;
        case SearchType::Multiline: result.outcome = MultilineModify(context, model); break;
    }
    // Stop wins over any other outcome: a stopped file is left alone.
    if (context.stopped()) result.outcome = EngineOutcome::Stopped;
    if (result.outcome == EngineOutcome::Done) result.bytes = joinFileModel(model, separator);
    result.original = model.takeOriginal();
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
