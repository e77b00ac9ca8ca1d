#include "modify_run.h"

#include <cstring>
#include <string>
#include <string_view>

#include "diff_output.h"
#include "engine/viewer/lines_viewer_fill.h"
#include "engine/modify/modify_driver.h"
#include "engine/modify/modify_preview.h"
#include "engine/modify/content_diff.h"
#include "platform/attribute_changer.h"
#include "durable/file_store.h"
#include "results/status_texts.h"
#include "review_run.h"

namespace vsr::tools {

std::string_view relativeName(const std::string& root, std::string_view fullName) {
    if (root == "/" && fullName.starts_with('/')) return fullName.substr(1);
    if (fullName.size() > root.size() && fullName.starts_with(root) && fullName[root.size()] == '/')
        return fullName.substr(root.size() + 1);
    return fullName;
}

namespace {

// Refills each rewritten row silently, so its Found column counts what the file now holds.
class SilentViews final : public engine::ModifyViews {
public:
    SilentViews(const engine::SearchConditions& c, engine::SearchEnv env, engine::SearchHost& host)
        : c_(c), env_(env), host_(host) {}
    void fillSilent(std::size_t row) override {
        const results::ResultItem& item = host_.results().row(row);
        engine::FillRequest request{item.path, item.name, static_cast<long long>(row), engine::FillPurpose::Silent};
        engine::FillLinesViewer(c_, env_, host_, content_, request);
    }

private:
    const engine::SearchConditions& c_;
    engine::SearchEnv env_;
    engine::SearchHost& host_;
    engine::LinesViewerContent content_;
};

// Prints the rows; true when one of them failed.
bool printRows(std::FILE* out, const results::ResultList& list, const NameOutput& names) {
    bool failed = false;
    std::string line;
    for (const results::ResultItem& row : list.rows()) {
        line.clear();
        names.append(line, row.fullName(), '\t');
        line += row.found + '\t' + row.result + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
        failed = failed || row.status == results::RowStatus::FailedModification || row.status == results::RowStatus::FailedUndo;
    }
    return failed;
}

// Names each row the run failed to modify on standard error, with the reason when known.
bool reportFailures(const engine::ModifyDriver& driver, const results::ResultList& list) {
    bool failed = false;
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (list.row(i).status != results::RowStatus::FailedModification) continue;
        const std::string why = driver.failureOf(i);
        std::fprintf(stderr, "vsr-search: %s: Failed Modification%s%s\n", quotedName(list.row(i).fullName()).c_str(),
                     why.empty() ? "" : ": ", why.c_str());
        failed = true;
    }
    return failed;
}

// The unified diff of one changed file, named relative to the search folder.
engine::ContentStep diffStep(const engine::SearchConditions& conditions) {
    return [&conditions](const std::string& path, std::string_view before, const engine::ModifiedContent& content) {
        return engine::contentDiff(relativeName(conditions.path, path), before, content);
    };
}

// Writes the diffs still held; false, with the reason on standard error, when the output refused
// some of them: a diff cut short is not a dry run that succeeded.
bool wroteDiffs(DiffOutput& diffs) {
    if (diffs.flush()) return true;
    std::fprintf(stderr, "vsr-search: cannot write the diff: %s\n", std::strerror(diffs.error()));
    return false;
}

// Prints each diff when its row's turn comes.
engine::ModifyDriver::Proposal printer(DiffOutput& out) {
    return [&out](std::size_t, std::string& diff) { out.take(diff); };
}

// Modify All as a dry run: nothing is written (the store refuses to), each rewrite Modify would
// make is printed as a unified diff instead, in row order. Rows that would fail are named on
// standard error.
int dryRun(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
           engine::SearchEnv env, engine::SearchHost& host, const engine::EditChoice* choice) {
    durable::PosixFileStore disk;
    platform::PosixAttributeChanger attributes;
    engine::DryRunStore store(disk, [](const engine::DryRunStore::Proposal&) {});
    engine::ModifyDriver driver({store, attributes, env.clock}, host);
    DiffOutput diffs(out);
    driver.setThreads(request.threads);
    driver.setContentStep(diffStep(conditions));
    driver.setDryRun(printer(diffs));
    driver.setEditChoice(choice);
    driver.Modify(choice ? engine::ModifyScope::Selected : engine::ModifyScope::All, conditions, request.options);
    const bool written = wroteDiffs(diffs);
    return reportFailures(driver, host.results()) || !written ? 3 : 0;
}

// The interval the request gives every row, shown in the row when the list shows intervals.
void giveInterval(results::ResultList& list, std::size_t row, const ModifyRequest& request) {
    if (!request.intervalGiven) return;
    list.setInterval(row, request.interval);
    if (list.intervalDisplay) list.ShowRowInterval(row);
}

}  // namespace

ListedDryRun::ListedDryRun(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                           engine::SearchEnv env, engine::SearchHost& host)
    : conditions_(conditions), request_(request), host_(host), diffs_(std::make_unique<DiffOutput>(out)),
      store_(std::make_unique<engine::DryRunStore>(disk_, [](const engine::DryRunStore::Proposal&) {})),
      driver_(std::make_unique<engine::ModifyDriver>(engine::ModifyEnv{*store_, attributes_, env.clock}, host)),
      modifications_(std::make_unique<engine::ListedModifications>(engine::ListedModifications::Setup{
          conditions, request.options, request.intervalGiven ? request.interval : results::ModificationInterval{},
          diffStep(conditions), disk_, attributes_})) {
    // A file the search did not modify already is read, modified and diffed when its row comes.
    driver_->setContentStep(diffStep(conditions));
    driver_->setDryRun(printer(*diffs_), modifications_.get());
}

ListedDryRun::~ListedDryRun() = default;

bool ListedDryRun::begin() {
    // Modify's refusal is said after the search, as without a dry run.
    if (engine::modifyRefusal(conditions_)) return false;
    begun_ = driver_->beginListed(conditions_, request_.options);
    return begun_;
}

void ListedDryRun::rowListed(std::size_t row) {
    if (!begun_) return;
    giveInterval(host_.results(), row, request_);
    driver_->modifyListed(row);
}

int ListedDryRun::finish() {
    if (!begun_) return 0;
    begun_ = false;
    driver_->endListed();
    const bool written = wroteDiffs(*diffs_);
    return reportFailures(*driver_, host_.results()) || !written ? 3 : 0;
}

int runModification(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                    engine::SearchEnv env, engine::SearchHost& host, ListedDryRun* listed, std::FILE* answers) {
    // The rows were taken as the search listed them; a search cut short ended that run too.
    if (listed && listed->begun()) return listed->finish();
    results::ResultList& list = host.results();
    for (std::size_t i = 0; i < list.count(); ++i) giveInterval(list, i, request);
    // Stop of the search (a refused query) must not carry over into the modification.
    if (host.runState().stop) return 0;
    // Modify's refusal (no search text) comes from Modify itself, as without a review.
    const bool reviewing = request.review && !engine::modifyRefusal(conditions);
    engine::EditChoice choice;
    if (reviewing) {
        reviewListedEdits(conditions, request, env, host, choice, answers, stderr);
        if (list.firstSelected() < 0) return 0;
    }
    const engine::EditChoice* chosen = reviewing ? &choice : nullptr;
    if (request.dryRun) return dryRun(out, conditions, request, env, host, chosen);
    durable::PosixFileStore files;
    platform::PosixAttributeChanger attributes;
    SilentViews views(conditions, env, host);
    engine::ModifyDriver driver({files, attributes, env.clock}, host, &views);
    driver.setThreads(request.threads);
    driver.setEditChoice(chosen);
    driver.Modify(chosen ? engine::ModifyScope::Selected : engine::ModifyScope::All, conditions, request.options);
    bool failed = printRows(out, list, request.names);
    reportFailures(driver, list);
    if (request.undoAfter) {
        driver.UndoReplaceBitClick();
        std::fputs("-- undo\n", out);
        failed = printRows(out, list, request.names) || failed;
    }
    return failed ? 3 : 0;
}

}  // namespace vsr::tools
