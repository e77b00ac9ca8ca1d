#include "engine/modify/modify_preview.h"

namespace vsr::engine {

RowPreview previewRow(ModifyEnv env, SearchSink& sink, RunControl& control, const results::ResultItem& item,
                      const SearchConditions& c, const ModifyOptions& o, const SkippedEdits* skipped,
                      EditObserver* observer) {
    RowPreview preview;
    // Modify would not run at all.
    if (modifyRefusal(c)) return preview;
    // Modify passes over a row with no marked line.
    if (c.intervalsInUse() && item.interval.isNil()) {
        preview.state = PreviewState::Unchanged;
        return preview;
    }
    WriteMarks prep;
    std::optional<std::string> original =
        readModifiable(env.files, env.attributes, item.fullName(), c.createBackups, o, prep);
    if (!original) return preview;
    ModifyQuery query(c, control, env.clock);
    ModifyContext context(c, query, sink, control, env.clock);
    context.chooseEdits(skipped, observer);
    preview.content = modifyContent(context, std::move(*original), item.interval, o.separator);
    switch (preview.content.outcome) {
        case EngineOutcome::Done:
            preview.state = preview.content.changed() ? PreviewState::Changed : PreviewState::Unchanged;
            break;
        case EngineOutcome::Stopped: preview.state = PreviewState::Stopped; break;
        case EngineOutcome::Failed: preview.state = PreviewState::Failed; break;
    }
    return preview;
}

}  // namespace vsr::engine
