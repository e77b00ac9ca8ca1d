#include "engine/search/search_driver.h"

#include <algorithm>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "engine/query/compiled_query.h"
#include "engine/search/container_listing.h"
#include "engine/search/file_walk.h"
#include "engine/search/host_delivery.h"
#include "engine/search/query_listing.h"
#include "engine/search/read_budget.h"
#include "engine/search/search_pool.h"
#include "results/status_texts.h"

namespace vsr::engine {
namespace {

// Slots of output that may wait for the host: the walk runs this far ahead at most.
constexpr std::size_t kWaitingSlots = 4096;
// A run on the caller's thread delivers its output after this many files.
constexpr std::size_t kInlineBatch = 64;
// File data the examining threads may hold at once (one larger file is read alone).
constexpr std::size_t kReadBudgetBytes = 64u << 20;
// More threads than this would only contend for the disk and the memory budget.
constexpr int kMaxThreads = 64;

results::ListTab listTab(Tab tab) {
    return tab == Tab::Find ? results::ListTab::Find : results::ListTab::SearchAndReplace;
}

}  // namespace

int SearchDriver::resolveThreads(int setting) {
    if (setting <= 0) setting = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(setting, 1, kMaxThreads);
}

void SearchDriver::StopFindBitSClick() {
    RunState& s = control_.runState();
    s.stop = true;
    s.modificationStop = true;
}

void SearchDriver::FindButtonClick(SearchConditions& conditions, const RunOptions& options) {
    RunState& state = control_.runState();
    results::ResultList& list = list_;
    const Tab tab = conditions.tab;
    const char* caption = tabCaption(tab);

    // Validation comes before the list is touched.
    conditions.path = std::string(trim(conditions.path));
    sink_.fieldNormalized(HistoryField::Path, conditions.path);
    if (conditions.path.empty() && !conditions.searchInResults) {
        sink_.message(caption, "Please specify the Path", MessageIcon::Exclamation);
        state.stop = true;
        return;
    }
    if (isBlank(conditions.masks)) {
        sink_.message(caption, "Please specify the Mask", MessageIcon::Exclamation);
        state.stop = true;
        return;
    }

    // A malformed expression is refused before the list is touched too: a typo in it must not
    // cost the user the list of the search before.
    if (conditions.effectiveQueryType() == QueryType::RegExpr) {
        const CompiledQuery probe(conditions);
        if (!probe.runnable() && probe.refused() && probe.refusal().expressionError) {
            const QueryRefusal& refusal = probe.refusal();
            sink_.message(refusal.caption, refusal.message, MessageIcon::Exclamation);
            if (refusal.expressionPosition > 0) sink_.selectExpressionCharacter(tab, refusal.expressionPosition);
            state.stop = true;
            return;
        }
    }

    state.resultsSnapshot.clear();
    if (conditions.searchInResults)
        for (const results::ResultItem& row : list.rows()) state.resultsSnapshot.push_back(row.fullName());

    // Begin-of-run: the list's part here, the controls' part in the host.
    state.runTab = tab;
    if (tab == Tab::SearchAndReplace) state.conditionsChanged = false;
    if (list.foundColumnAbsent() && conditions.hasContentQuery()) list.insertFoundColumn();
    list.intervalDisplay = tab == Tab::SearchAndReplace && conditions.intervalsInUse();
    list.createResultColumn();
    list.ClearResults();
    list.tab = listTab(tab);
    list.busy = true;
    sink_.setStatusText(kCountPanel, "");
    sink_.setStatusText(kPathPanel, "");
    sink_.beginRun(tab);

    ParseMasksResult masks = parseMasks(conditions.masks);
    if (masks.ok) {
        conditions.masks = masks.list.normalizedText;
        sink_.fieldNormalized(HistoryField::Masks, conditions.masks);
    } else {
        sink_.message(kProgramTitle, masks.message, MessageIcon::Exclamation);
    }

    state.foundFiles = 0;
    state.conditionsChanged = false;
    sink_.setStatusText(kCountPanel, results::runStartCountText(list.tab));

    if (conditions.path.size() > 1 && conditions.path.back() == '/') {
        conditions.path.pop_back();
        sink_.fieldNormalized(HistoryField::Path, conditions.path);
    }
    sink_.historyUsed(HistoryField::Path, conditions.path);
    if (tab == Tab::Find && !isBlank(conditions.findText)) sink_.historyUsed(HistoryField::FindText, conditions.findText);
    if (tab == Tab::SearchAndReplace && !isBlank(conditions.searchText))
        sink_.historyUsed(HistoryField::SearchText, conditions.searchText);
    sink_.historyUsed(HistoryField::Masks, conditions.masks);

    sink_.setStatusText(kPathPanel, conditions.path);
    // A refused masks text must still end the run, although the stop flag is cleared here.
    state.stop = !masks.ok;
    state.lastPumpMs = env_.clock.tickMs();
    sink_.setBusyAnimation(true);

    const SearchConditions runConditions = conditions;
    OrderedOutput output(kWaitingSlots);
    SearchRun walkRun(runConditions, env_, state.stop, output);
    walkRun.masks() = std::move(masks.list);

    // The query is built once for the run and shared by every thread; a malformed list of
    // words is refused now, any other refusal when the first file reaches a matcher.
    const CompiledQuery query(runConditions);
    if (query.refused() && !query.refusal().atFirstFile && !state.stop) {
        sink_.message(query.refusal().caption, query.refusal().message, MessageIcon::Exclamation);
        state.stop = true;
    }
    state.fileIgnoreMasks.clear();
    if (conditions.ignoreFiles)
        for (const std::string& line : conditions.fileIgnoreList)
            if (!trim(line).empty()) state.fileIgnoreMasks.emplace_back(trim(line));
    const WalkFilters filters(runConditions, state.fileIgnoreMasks, env_.clock.now());

    const bool containers = opensContainers(runConditions);
    IndexSkip* skip = indexSkip_ && indexSkip_->prepare(query, containers) ? indexSkip_ : nullptr;
    auto makeMatcher = [&query, &filters, containers, skip,
                        step = listedStep_](SearchRun& run) -> std::unique_ptr<ContentMatcher> {
        auto listing = std::make_unique<QueryListing>(run, query, step ? step->makeWorker() : nullptr);
        if (skip) return std::make_unique<IndexedMatcher>(run, *skip, std::move(listing));
        if (!containers) return listing;
        return std::make_unique<ContainerListing>(run, std::move(listing), filters);
    };
    std::unique_ptr<ContentMatcher> matcher = makeMatcher(walkRun);

    // A report of a query of several words keeps each row's complete count list.
    list.collectReportCounts = options.forReport && query.countSlots() > 1;

    if (matcher && !state.stop) {
        const int threads = resolveThreads(threads_);
        const std::vector<std::string>& snapshot = state.resultsSnapshot;
        auto walkAndMatch = [&] {
            ReadBudget budget(kReadBudgetBytes);
            std::unique_ptr<SearchPool> pool;
            std::unique_ptr<InlineExaminer> inlineExaminer;
            FileExaminer* examiner = nullptr;
            if (threads > 1) {
                pool = std::make_unique<SearchPool>(
                    walkRun, threads, makeMatcher, budget);
                examiner = pool.get();
            } else {
                inlineExaminer = std::make_unique<InlineExaminer>(walkRun, *matcher);
                examiner = inlineExaminer.get();
            }
            FileWalk walk(walkRun, *examiner, filters);
            if (skip) walk.useShortcut(skip->shortcut());
            if (runConditions.searchInResults) walk.walkResults(snapshot);
            else walk.walkDirectory(runConditions.path);
        };
        auto walkToTheEnd = [&] {
            try {
                walkAndMatch();
            } catch (const std::bad_alloc&) {
                // A folder listing the memory did not suffice for ends the walk there; what
                // was found before it stays listed.
            }
            walkRun.completeSlot();
            output.finish();
        };
        if (threads == 1 && !control_.pumpsMessages()) {
            // Nothing to keep alive meanwhile: the walk runs here and delivers its output
            // itself, a batch of files at a time, with no thread to hand each batch over to.
            HostDelivery delivery(sink_, control_, list_, env_);
            output.deliverInline([&] { delivery.deliverReady(output); }, kInlineBatch);
            walkToTheEnd();
            delivery.deliver(output);
            if (!delivery.unsearched().empty()) sink_.filesNotSearched(delivery.unsearched());
        } else {
            std::optional<std::thread> engine;
            try {
                engine.emplace(walkToTheEnd);
            } catch (const std::system_error& e) {
                sink_.message(kProgramTitle, std::string("The search could not start: ") + e.what(),
                              MessageIcon::Error);
                state.stop = true;
            }
            if (engine) {
                HostDelivery delivery(sink_, control_, list_, env_);
                delivery.deliver(output);
                engine->join();
                if (!delivery.unsearched().empty()) sink_.filesNotSearched(delivery.unsearched());
            }
        }
        walkRun.releaseBuffers();
    }

    // Closing steps: the memory of the largest file goes back.
    matcher.reset();
    env_.fs.releaseCaches();
    if (tab == Tab::Find) state.conditionsChanged = true;
    state.resultsSnapshot.clear();
    sink_.setStatusText(kPathPanel, "");
    sink_.setBusyAnimation(false);
    if (state.foundFiles == 0) {
        sink_.setStatusText(kCountPanel, "Not Found");
        sink_.setStatusText(kPathPanel, "");
    }
    list.busy = false;
    list.collectReportCounts = false;
    if (!options.forReport) sink_.endRun(tab);
    if (!list.empty()) {
        control_.pumpMessages();
        long long selected = list.firstSelected();
        if (selected >= 0) list.selectOnly(static_cast<std::size_t>(selected));
        else if (!state.stop) list.selectOnly(0);
    }
    if (list.foundColumnAbsent()) state.conditionsChanged = true;

    RunSummary summary;
    summary.tab = tab;
    summary.rows = list.count();
    summary.foundFiles = state.foundFiles;
    summary.stopped = state.stop;
    summary.forReport = options.forReport;
    sink_.searchFinished(summary);
}

}  // namespace vsr::engine
