#include "engine/search/query_listing.h"

namespace vsr::engine {
namespace {

// Why a file too large to hold in memory was not searched with this query.
std::string wholeTextReason(const CompiledQuery& query) {
    const char* what = query.kind() == CompiledQuery::Kind::Blocks    ? "a Multiline query"
                       : query.kind() == CompiledQuery::Kind::RegExpr ? "a Reg Expr query"
                                                                      : "a query with terms this long";
    return std::string("it is larger than 2 GB - 1 bytes, and ") + what + " reads each file whole";
}

}  // namespace

QueryListing::QueryListing(SearchRun& run, const CompiledQuery& query,
                           std::unique_ptr<ListedFileStep::Worker> followUp)
    : run_(run),
      query_(query),
      followUp_(std::move(followUp)),
      stopped_([this] { return run_.stopped(); }),
      listedOnceRead_([this] {
          run_.endText();
          stream_->end();
          return query_.listed(counts_);
      }) {
    // The follow-up names the file by the identity the search read it with.
    run_.takeInfoFromRead(followUp_ != nullptr);
}

void QueryListing::list(const std::string& dir, platform::DirEntry& entry, bool whole, bool counted) {
    run_.listFile(dir, entry, counts_);
    if (!followUp_) return;
    // The buffer is the whole file when it holds as many bytes as the file had when its
    // information was taken (as it was opened, or once it was read): a read cut at a NUL byte
    // holds fewer, one of a file that grew while read more. A decoded file's buffer holds its
    // text, not its bytes: the follow-up reads those itself.
    const std::string_view bytes = run_.buffer().view();
    whole = whole && entry.infoLoaded && entry.info.size == bytes.size() && run_.fileEncoding().chosen();
    const bool found = whole && counted && followUp_->wantsOccurrences() && query_.notesOccurrences();
    followUp_->listed(run_.fullPath(dir, entry.name), entry.info, whole ? &bytes : nullptr,
                      found ? &occurrences_ : nullptr, stopped_);
}

void QueryListing::report(const QueryRefusal& refusal) {
    run_.message(refusal.caption, refusal.message, MessageIcon::Exclamation);
    if (refusal.expressionError && refusal.expressionPosition > 0)
        run_.selectExpressionCharacter(run_.conditions().tab, refusal.expressionPosition);
    run_.endRun();
}

bool QueryListing::acceptable() {
    if (!checked_) {
        checked_ = true;
        if (query_.refused()) report(query_.refusal());
    }
    return !query_.refused();
}

void QueryListing::releaseMemory() {
    if (matcher_) matcher_->release();
    if (stream_) stream_->release();
    if (lines_) lines_->release();
}

void QueryListing::matchStreamed(const std::string& dir, platform::DirEntry& entry) {
    platform::ReadStatus status = platform::ReadStatus::Failed;
    if (followUp_) {
        // The follow-up wants the whole text: it is gathered in the run's buffer as it is counted.
        auto begin = [&] {
            stream_->begin(counts_, true, run_.buffer(), followUp_->wantsOccurrences() ? &occurrences_ : nullptr);
        };
        begin();
        status = run_.keepEntry(dir, entry, *stream_, listedOnceRead_, begin);
    }
    if (!followUp_ || status == platform::ReadStatus::TooLarge) {
        // A file too large to be held is still counted piece by piece; a follow-up then gets
        // no bytes and judges the file itself.
        auto begin = [&] { stream_->begin(counts_, true); };
        begin();
        status = run_.streamEntry(dir, entry, *stream_, begin);
    }
    if (status == platform::ReadStatus::Ok) {
        stream_->end();
        if (run_.stopped()) return;
    } else if (status == platform::ReadStatus::Failed) {
        // Judged as a file that could not be read at all, whatever its first pieces held.
        counts_.assign(query_.countSlots(), 0);
    } else {
        // A file whose read Stop ended is left out rather than judged on contents never seen.
        return;
    }
    const bool read = status == platform::ReadStatus::Ok;
    if (query_.listed(counts_)) list(dir, entry, read && stream_->keptWhole(), read);
}

void QueryListing::matchInLines(const std::string& dir, platform::DirEntry& entry) {
    if (!lines_) lines_ = std::make_unique<LineChunks>();
    ScanEnd scanEnd = ScanEnd::Done;
    auto begin = [&] {
        counts_.assign(query_.countSlots(), 0);
        scanEnd = ScanEnd::Done;
        lines_->begin([&](std::string_view lines) {
            scanEnd = matcher_->count(lines, counts_, true);
            return scanEnd == ScanEnd::Done && !run_.stopped();
        });
    };
    begin();
    const platform::ReadStatus status = run_.streamEntry(dir, entry, *lines_, begin);
    if (status == platform::ReadStatus::Ok) lines_->end();
    if (scanEnd == ScanEnd::ExpressionError) {
        report(matcher_->error());
        return;
    }
    if (status != platform::ReadStatus::Ok || scanEnd != ScanEnd::Done || run_.stopped()) return;
    if (lines_->overlong()) {
        run_.notSearched(dir, entry.name,
                         "it is larger than 2 GB - 1 bytes and holds a line longer than 8 MB, which a Reg Expr "
                         "query takes whole");
        return;
    }
    if (query_.listed(counts_)) list(dir, entry, false);
}

void QueryListing::matchFile(const std::string& dir, platform::DirEntry& entry) {
    if (query_.listsEveryFile()) {
        if (!foundColumnRemoved_) run_.removeFoundColumn();
        foundColumnRemoved_ = true;
        counts_.assign(1, 0);
        list(dir, entry, false);
        return;
    }
    if (!acceptable()) return;
    if (!stream_ && TermStream::suits(query_)) stream_ = std::make_unique<TermStream>(query_);
    if (stream_) {
        matchStreamed(dir, entry);
        return;
    }
    if (!matcher_) {
        // Inside one long match or file the matcher looks at the stop flag.
        matcher_ = query_.matcher([this] { return !run_.stopped(); });
        if (!matcher_) return;
        if (followUp_ && followUp_->wantsOccurrences()) matcher_->noteOccurrences(&occurrences_);
    }
    const bool terms = query_.kind() == CompiledQuery::Kind::Terms;
    // Word queries read past a NUL byte and cut the text only where an occurrence runs into
    // one; the other kinds cut it when reading.
    const platform::ReadStatus status = run_.readEntry(dir, entry, !terms);
    counts_.assign(query_.countSlots(), 0);
    if (status == platform::ReadStatus::Ok) {
        const ScanEnd end = matcher_->count(run_.buffer().view(), counts_, true);
        if (end == ScanEnd::ExpressionError) {
            report(matcher_->error());
            return;
        }
        if (end == ScanEnd::Stopped || run_.stopped()) return;
    } else if (status == platform::ReadStatus::TooLarge) {
        // An expression matched line by line takes the file a run of lines at a time; any
        // other query is left out rather than judged on contents never seen, and named once
        // the run is over.
        if (query_.kind() == CompiledQuery::Kind::RegExpr && query_.byLine()) matchInLines(dir, entry);
        else run_.notSearched(dir, entry.name, wholeTextReason(query_));
        return;
    } else if (!terms || status == platform::ReadStatus::Stopped) {
        // A file whose read Stop ended is left out rather than judged on contents never seen.
        return;
    }
    if (query_.listed(counts_)) list(dir, entry, status == platform::ReadStatus::Ok, status == platform::ReadStatus::Ok);
}

}  // namespace vsr::engine
