#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/query/masks.h"
#include "engine/query/query_terms.h"
#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::engine {

// The platform services a run uses, owned by the caller.
struct SearchEnv {
    platform::FileSystem& fs;
    platform::Clock& clock;
    const platform::LocaleFormats& formats;
    const platform::TypeNames& typeNames;
};

// One search run as the matchers see it: the conditions, the parsed query, the host, the
// pump timer, the shared read buffer and the way a matching file becomes a row.
class SearchRun {
public:
    SearchRun(const SearchConditions& conditions, SearchEnv env, SearchHost& host);

    const SearchConditions& conditions() const { return conditions_; }
    SearchEnv& env() { return env_; }
    SearchHost& host() { return host_; }
    RunState& state() { return host_.runState(); }
    const platform::CodePage& codePage() const { return *codePage_; }

    TermList& terms() { return terms_; }
    const TermList& terms() const { return terms_; }
    MaskList& masks() { return masks_; }
    const MaskList& masks() const { return masks_; }

    bool stopped() { return state().stop; }
    void requestStop() { state().stop = true; }
    // Lets the window process pending messages when more than `intervalMs` have passed since
    // it last did; cheap enough to call per entry.
    void pumpIfDue(int intervalMs = 15);
    // Shows a message box and sets the stop flag: a failed check ends the run.
    void fail(const std::string& caption, const std::string& text);

    // dir + "/" + name in a buffer reused for every file (valid until the next call).
    const std::string& fullPath(const std::string& dir, const std::string& name);

    // Reads a file whole into the run's reused buffer. Reading ends at the first NUL byte: with
    // `stopAtNul` the buffer is cut there; without, the caller promises to ignore what follows.
    platform::ReadStatus readFile(const std::string& fullName, bool stopAtNul = true);
    platform::FileBuffer& buffer() { return buffer_; }
    // A second reused buffer for case-folded text.
    platform::FileBuffer& foldBuffer() { return fold_; }
    // Frees both buffers: at the end of the run, or after a file the memory did not suffice for.
    void releaseBuffers() {
        buffer_.release();
        fold_.release();
    }

    // Lists a matching file: found files + 1, the count text in panel 0, a new row with
    // `counts` in its Found column. Fetches the entry's information when not yet loaded.
    void listFile(const std::string& dir, platform::DirEntry& entry,
                  const std::vector<std::int64_t>& counts);

    // The multi-line query's line-length check of the block and Reg Expr matchers: made once,
    // when the first file reaches the matcher; a line over 1000 characters ends the run.
    bool checkQueryLines();

    // Query-length checks happen once, when the first file reaches a matcher.
    bool queryChecked = false;
    bool queryAcceptable = true;

private:
    const SearchConditions& conditions_;
    SearchEnv env_;
    SearchHost& host_;
    const platform::CodePage* codePage_;
    TermList terms_;
    MaskList masks_;
    platform::FileBuffer buffer_;
    platform::FileBuffer fold_;
    std::string path_;
};

// Examines one file that passed the name, size and date filters and lists it when it matches.
class ContentMatcher {
public:
    virtual ~ContentMatcher() = default;
    // `dir` has no trailing "/"; `entry` may get its information loaded.
    virtual void matchFile(const std::string& dir, platform::DirEntry& entry) = 0;
};

}  // namespace vsr::engine
