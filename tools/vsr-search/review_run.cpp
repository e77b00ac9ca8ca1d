#include "review_run.h"

#include "durable/file_store.h"
#include "engine/modify/edit_review.h"
#include "modify_run.h"
#include "platform/attribute_changer.h"
#include "review_prompt.h"

namespace vsr::tools {

void reviewListedEdits(const engine::SearchConditions& conditions, const ModifyRequest& request,
                       engine::SearchEnv env, engine::SearchHost& host, engine::EditChoice& choice, std::FILE* in,
                       std::FILE* prompt) {
    durable::PosixFileStore files;
    platform::PosixAttributeChanger attributes;
    results::ResultList& list = host.results();
    list.deselectAll();
    bool quit = false;
    for (std::size_t row = 0; row < list.count() && !quit; ++row) {
        list.setSelected(row, true);
        const results::ResultItem& item = list.row(row);
        // A row without a marked line is passed over by Modify, as are its edits here.
        if (conditions.intervalsInUse() && item.interval.isNil()) continue;
        const engine::FileReview review =
            engine::reviewRow({files, attributes, env.clock}, host, host, item, conditions, request.options);
        if (host.runState().stop) break;
        if (review.state != engine::PreviewState::Changed) continue;
        const std::string fullName = item.fullName();
        engine::SkippedEdits& skipped = choice.forFile(fullName);
        skipped.reviewed = review.hash;
        const std::size_t count = review.edits.size();
        const std::string name(relativeName(conditions.path, fullName));
        for (std::size_t i = 0; i < count; ++i) {
            std::fputs(reviewHunk(name, review.edits[i], i + 1, count).c_str(), prompt);
            const ReviewAnswer answer = askReview(in, prompt);
            const std::size_t ordinal = review.edits[i].ordinal;
            if (answer == ReviewAnswer::Keep) continue;
            if (answer == ReviewAnswer::Skip) {
                skipped.skip(ordinal);
                continue;
            }
            if (answer == ReviewAnswer::KeepRest) break;
            // Skip the rest of the file, or stop: what is not decided is left as it is.
            skipped.skipRange(ordinal, review.edits.back().ordinal + 1);
            quit = answer == ReviewAnswer::Quit;
            break;
        }
    }
}

}  // namespace vsr::tools
