#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/query/compiled_query.h"
#include "engine/query/term_stream.h"
#include "engine/search/line_chunks.h"
#include "engine/search/listed_file_step.h"
#include "engine/search/search_run.h"

namespace vsr::engine {

// Lists the files the run's compiled query matches: counts its matches in each file and lists
// a file that has any (by the terms' signs for word queries). An empty query lists every file
// without counts. A listed file's bytes go on to `followUp` when one is given.
class QueryListing final : public ContentMatcher {
public:
    QueryListing(SearchRun& run, const CompiledQuery& query,
                 std::unique_ptr<ListedFileStep::Worker> followUp = nullptr);
    void matchFile(const std::string& dir, platform::DirEntry& entry) override;
    void releaseMemory() override;

private:
    // The query's refusal, reported when the first file reaches the matcher; false when refused.
    bool acceptable();
    void report(const QueryRefusal& refusal);
    // Lists the file and hands it to the follow-up; `whole`: the run's buffer holds all of it;
    // `counted`: occurrences_ are this file's.
    void list(const std::string& dir, platform::DirEntry& entry, bool whole, bool counted = false);
    // Counts a word query's terms piece by piece as the file is read, and lists the file.
    void matchStreamed(const std::string& dir, platform::DirEntry& entry);
    // Counts a file too large to hold in runs of whole lines, for a query matched line by line.
    void matchInLines(const std::string& dir, platform::DirEntry& entry);

    SearchRun& run_;
    const CompiledQuery& query_;
    std::unique_ptr<QueryMatcher> matcher_;
    // Word queries are counted as they are read (and gathered whole for a follow-up).
    std::unique_ptr<TermStream> stream_;
    std::unique_ptr<LineChunks> lines_;
    std::vector<std::int64_t> counts_;
    // Where the count found the term, for a follow-up that wants it.
    std::vector<Occurrence> occurrences_;
    std::unique_ptr<ListedFileStep::Worker> followUp_;
    std::function<bool()> stopped_;
    // Asked by a read that keeps the file once all of it came: whether it is listed.
    std::function<bool()> listedOnceRead_;
    bool checked_ = false;
    // Said once, with this matcher's first file: every later row of its files comes after it.
    bool foundColumnRemoved_ = false;
};

}  // namespace vsr::engine
