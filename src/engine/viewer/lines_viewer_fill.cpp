#include "engine/viewer/lines_viewer_fill.h"

#include <cstring>
#include <new>

#include "containers/container_sniff.h"
#include "engine/decode/container_text.h"
#include "engine/decode/file_text.h"
#include "engine/search/container_listing.h"
#include "engine/viewer/lines_viewer_context.h"
#include "engine/viewer/pumped_read.h"
#include "results/row_texts.h"
#include "results/status_texts.h"

namespace vsr::engine {
namespace lines_viewer {

FillContext::FillContext(const SearchConditions& c, SearchEnv env, SearchSink& sink, RunControl& control,
                         results::ResultList& list, LinesViewerContent& content, const FillRequest& request,
                         FillEvents* events)
    : conditions_(c), sink_(sink), control_(control), list_(list), content_(content), request_(request),
      events_(events), env_(env),
      codePage_(&platform::CodePage::get(c.textEncoding)), fullName_(platform::joinPath(request.dir, request.name)) {}

bool FillContext::stillBrowsing() {
    if (result.purpose != FillPurpose::Browse) return true;
    const results::ResultList& list = list_;
    long long row = list.currentIndex;
    if (row < 0 || row >= static_cast<long long>(list.count()) || !list.row(static_cast<std::size_t>(row)).selected)
        row = list.firstSelected();
    if (row < 0 || row >= static_cast<long long>(list.count())) return false;
    return list.row(static_cast<std::size_t>(row)).fullName() == fullName_;
}

bool FillContext::keepGoing(int intervalMs) {
    RunState& state = control_.runState();
    std::int64_t now = env_.clock.tickMs();
    if (now - state.lastPumpMs > intervalMs) {
        if (events_) events_->entriesAdded();
        control_.pumpMessages();
        state.lastPumpMs = env_.clock.tickMs();
    }
    if (state.stop) {
        result.end = FillEnd::Stopped;
        return false;
    }
    if (content_.clearPending() || !stillBrowsing()) {
        result.end = FillEnd::Superseded;
        return false;
    }
    return true;
}

void FillContext::refuseQuery(const std::string& caption, const std::string& text) {
    sink_.message(caption, text, MessageIcon::Exclamation);
    content_.clearEntries();
    result.end = FillEnd::QueryRefused;
}

platform::ReadStatus FillContext::readFile() {
    platform::FileBuffer& buf = scratch().file;
    platform::ReadStatus status = platform::ReadStatus::Failed;
    std::optional<ContainerContent> container;
    // A row of a search that opened archives and documents may be a member or a document:
    // read through the same readers the search used.
    // The scan of an archive for one member, or a long document, runs beside the window's
    // thread, so Stop and another selection end it at once, not after the archive's end.
    if (opensContainers(conditions_) &&
        (containers::isDocumentName(fullName_) || !env_.fs.stat(fullName_, scratchInfo_))) {
        const bool whole = readWhilePumping(
            [&](std::atomic<bool>& ending) { container = containerContent(fullName_, ending); },
            [this] { return keepGoing(15); });
        if (!whole) return platform::ReadStatus::Stopped;
    }
    if (container) {
        buf.assign(container->bytes);
        std::string().swap(container->bytes);
        status = platform::ReadStatus::Ok;
    } else {
        status = env_.fs.readFile(fullName_, buf, platform::kMaxReadableFileSize);
    }
    if (status != platform::ReadStatus::Ok) {
        buf.setSize(0);
        return status;
    }
    const FileText text = decodeInBuffer(buf, TextReading::of(conditions_), scratch().decoded);
    // A document's text is the reader's UTF-8: no encoding of its own to name.
    fileEncoding_ = container && container->kind == TextKind::Document ? std::string() : std::string(encodingNote(text));
    // Reading stops at the first NUL byte: the rest of the file is not examined.
    if (const void* nul = std::memchr(buf.data(), 0, buf.size()))
        buf.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buf.data()));
    return status;
}

}  // namespace lines_viewer

std::string fileNotFoundText(const std::string& fullName) { return "File " + fullName + " not found"; }

namespace {

using lines_viewer::FillContext;

// The row the fill refreshes, when the index still names the file.
results::ResultItem* targetRow(results::ResultList& list, const FillRequest& request, const std::string& fullName) {
    if (request.row < 0 || request.row >= static_cast<long long>(list.count())) return nullptr;
    results::ResultItem& item = list.mutableRow(static_cast<std::size_t>(request.row));
    return item.fullName() == fullName ? &item : nullptr;
}

void markNotFound(results::ResultList& list, std::size_t row) {
    results::ResultItem& item = list.mutableRow(row);
    results::clearFileColumns(item);
    item.attributes.clear();
    item.type.clear();
    list.SetResultStatus(row, results::RowStatus::NotFound);
}

// Step 8: the Found value from the counts and the file information from the directory entry.
void refreshRow(FillContext& ctx, const FillRequest& request, const std::string& fullName, SearchEnv env) {
    results::ResultList& list = ctx.list();
    results::ResultItem* item = targetRow(list, request, fullName);
    if (ctx.ranMatching) ctx.result.found = results::foundText(ctx.result.counts);
    if (!item) return;
    if (ctx.ranMatching && !list.foundColumnAbsent()) results::fillFoundColumn(*item, ctx.result.counts);
    platform::FileInfo info;
    if (ctx.ranMatching) item->fileEncoding = ctx.fileEncoding();
    if (env.fs.stat(fullName, info)) {
        results::fillFileColumns(*item, info, {env.formats, env.typeNames});
        if (!ctx.ranMatching && !list.foundColumnAbsent() && item->found.empty()) results::fillFoundColumn(*item, {0});
    }
    std::size_t row = static_cast<std::size_t>(request.row);
    if (item->status == results::RowStatus::NotFound) {
        item->setStatus(results::RowStatus::Found);
        if (list.intervalDisplay) list.ShowRowInterval(row);
    }
    list.notifyRowChanged(row);
}

void emptyFound(FillContext& ctx, const FillRequest& request, const std::string& fullName) {
    results::ResultList& list = ctx.list();
    if (results::ResultItem* item = targetRow(list, request, fullName)) {
        item->found.clear();
        item->firstCount = -1;
        list.notifyRowChanged(static_cast<std::size_t>(request.row));
    }
}

void finish(FillContext& ctx) {
    // The entries own their texts: the file, its joined copy and the expression's input go.
    ctx.content().releaseScratch();
    ctx.content().endFill();
    // A fill that Stop ended clears the flag again, so the next one runs.
    if (ctx.result.end == FillEnd::Stopped) ctx.control().runState().stop = false;
    if (ctx.purpose() != FillPurpose::Silent) ctx.sink().setBusyAnimation(false);
    if (ctx.events()) {
        ctx.events()->entriesAdded();
        ctx.events()->fillEnded(ctx.result);
    }
}

}  // namespace

FillResult FillLinesViewer(const SearchConditions& conditions, SearchEnv env, SearchSink& sink, RunControl& control,
                           results::ResultList& list, LinesViewerContent& content, const FillRequest& request,
                           FillEvents* events) {
    RunState& state = control.runState();
    FillResult early;
    early.purpose = list.foundColumnAbsent() ? FillPurpose::InfoOnly : request.purpose;
    // A fill asked for while another one pumps messages would pull its entries away under it.
    if (content.filling()) {
        early.end = FillEnd::Superseded;
        return early;
    }
    // Stop pressed before the fill: the user wants the viewer left alone.
    if (state.stop) {
        state.stop = false;
        long long first = list.firstSelected();
        for (long long i = first < 0 ? static_cast<long long>(list.count()) : first;
             i < static_cast<long long>(list.count()); ++i)
            list.setSelected(static_cast<std::size_t>(i), false);
        early.end = FillEnd::StopPending;
        return early;
    }

    FillContext ctx(conditions, env, sink, control, list, content, request, events);
    ctx.result.purpose = early.purpose;
    const FillPurpose purpose = ctx.purpose();
    if (events) events->fillStarting(purpose);
    if (purpose != FillPurpose::Silent) sink.setBusyAnimation(true);

    content.beginFill();
    content.start(request.row, request.dir, request.name);
    content.lastPurpose = request.purpose;
    content.lastQueryType = conditions.effectiveQueryType();
    content.lastFillMs = env.clock.tickMs();
    if (events) events->entriesAdded();
    const std::string fullName = content.browsedFullName;

    if (!ctx.stillBrowsing()) {
        ctx.result.end = FillEnd::Superseded;
        finish(ctx);
        return ctx.result;
    }

    platform::ReadStatus status;
    if (purpose == FillPurpose::InfoOnly) {
        // Only the file information is shown: its existence is all that is needed.
        platform::FileInfo info;
        status = env.fs.stat(fullName, info) ? platform::ReadStatus::Ok : platform::ReadStatus::Failed;
    } else {
        // Let the window breathe before a long read.
        if (!ctx.keepGoing(15)) {
            finish(ctx);
            return ctx.result;
        }
        try {
            status = ctx.readFile();
        } catch (const std::bad_alloc&) {
            ctx.content().releaseScratch();
            status = platform::ReadStatus::TooLarge;
        }
    }
    // Stop or another selection ended the read: keepGoing said which, and nothing is wrong with the file.
    if (status == platform::ReadStatus::Stopped) {
        finish(ctx);
        return ctx.result;
    }
    if (status == platform::ReadStatus::Failed) {
        sink.message(kProgramTitle, fileNotFoundText(fullName), MessageIcon::Warning);
        if (targetRow(list, request, fullName)) markNotFound(list, static_cast<std::size_t>(request.row));
        ctx.result.end = FillEnd::NotFound;
        finish(ctx);
        return ctx.result;
    }
    if (status == platform::ReadStatus::TooLarge) {
        // Too large to read: ends as a read failure does, with the header alone.
        ctx.result.end = FillEnd::Stopped;
        finish(ctx);
        return ctx.result;
    }

    if (purpose != FillPurpose::InfoOnly) {
        try {
            lines_viewer::fillMatches(ctx);
        } catch (const std::bad_alloc&) {
            // A file the memory does not suffice for ends as one too large to read does.
            ctx.content().releaseScratch();
            ctx.result.end = FillEnd::Stopped;
        }
    }

    switch (ctx.result.end) {
        case FillEnd::Done: refreshRow(ctx, request, fullName, env); break;
        case FillEnd::QueryRefused: emptyFound(ctx, request, fullName); break;
        default: break;
    }
    finish(ctx);
    return ctx.result;
}

}  // namespace vsr::engine
