#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/decode/decoding_sink.h"
#include "engine/decode/file_text.h"
#include "engine/query/masks.h"
#include "engine/query/query_terms.h"
#include "engine/query/search_conditions.h"
#include "engine/search/ordered_output.h"
#include "engine/search/search_sink.h"
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
    // Rows carry each file's size, time and attributes. A caller that shows none of them (and
    // modifies nothing by the rows) turns this off and saves a look-up per listed file.
    bool rowInfo = true;
};

class ReadBudget;

// One thread's view of a search run: the conditions, its own copy of the parsed query, its
// reused buffers and the slot of the run's output it writes to. The walk has one, and every
// thread that examines files has its own; none of them touches the host, which takes the
// output on its own thread.
class SearchRun {
public:
    SearchRun(const SearchConditions& conditions, SearchEnv env, const std::atomic<bool>& stop,
              OrderedOutput& output);
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    const SearchConditions& conditions() const { return conditions_; }
    SearchEnv& env() { return env_; }
    const platform::CodePage& codePage() const { return *codePage_; }
    const std::atomic<bool>& stopFlag() const { return stop_; }
    OrderedOutput& output() { return output_; }

    TermList& terms() { return terms_; }
    const TermList& terms() const { return terms_; }
    MaskList& masks() { return masks_; }
    const MaskList& masks() const { return masks_; }

    // Stop was pressed, the current file failed a check, or an earlier file ended the run.
    bool stopped() const;

    // What the host is told, in this thread's current slot.
    void setStatusText(int panel, const std::string& text);
    // The path panel names the file `name` of `folder`; the full name is made only if shown.
    void setFileStatus(const SharedFolder& folder, const std::string& name);
    void message(const std::string& caption, const std::string& text,
                 MessageIcon icon = MessageIcon::Exclamation);
    // The file `name` of `dir` was left out for `reason`: the host names it once the run is over.
    void notSearched(const std::string& dir, const std::string& name, const std::string& reason);
    // A query without text: the list drops its Found column.
    void removeFoundColumn();
    // A regular-expression error: the host selects the character at `position` of the tab's field.
    void selectExpressionCharacter(Tab tab, int position);
    // The run ends after the current file, as when the stop flag was set in a single-threaded run.
    void endRun();
    // Shows a message box and ends the run: a failed check.
    void fail(const std::string& caption, const std::string& text);

    // The slot this thread writes to: a worker is handed one per file; the walk opens its own
    // when it has something to say.
    void useSlot(EventSlot* slot) { slot_ = slot; }
    // The current slot, now complete; the next event opens a new one.
    void completeSlot();
    // The current slot for a file another thread will examine; this thread opens a new one.
    EventSlot* handOffSlot();
    void setReadBudget(ReadBudget* budget) { budget_ = budget; }

    // dir + "/" + name in a buffer reused for every file (valid until the next call).
    const std::string& fullPath(const std::string& dir, const std::string& name);

    // The folder handle of the files examined next (null when the walk kept none).
    void useFolder(const platform::FolderHandle* folder) { folder_ = folder; }
    const platform::FolderHandle* folder() const { return folder_; }
    // Every read below hands over the file's text, not its bytes: a file in another encoding
    // than the chosen one (a byte order mark, or the fallback page for a file that is not
    // UTF-8) is decoded on the way, and fileEncoding() then says which it was.
    //
    // Reads a listed file whole into the run's reused buffer, and its information when not yet
    // loaded if the file system gives it on the way. Reading ends at the first NUL byte: with
    // `stopAtNul` the buffer is cut there; without, the caller promises to ignore what follows.
    // Stop ends the read of a large file between two pieces (ReadStatus::Stopped).
    platform::ReadStatus readEntry(const std::string& dir, platform::DirEntry& entry, bool stopAtNul = true);
    // Reads a listed file piece by piece into `sink` (see FileSystem::streamListed): the pieces
    // take the sink's own memory, so the read budget is not charged and no size is too large.
    // Stop ends the read between two pieces (ReadStatus::Stopped). A file that turns out not to
    // be UTF-8 partway is read again in the fallback page, after `restart` began the sink afresh.
    platform::ReadStatus streamEntry(const std::string& dir, platform::DirEntry& entry, platform::PieceSink& sink,
                                     const std::function<void()>& restart);
    // The same for a sink that gathers the whole file in buffer(), which is charged to the read
    // budget as readEntry's is. When the file's information is taken from the read
    // (takeInfoFromRead), it is taken once the file is read, and only if `listed` then says the
    // file is listed.
    platform::ReadStatus keepEntry(const std::string& dir, platform::DirEntry& entry, platform::PieceSink& sink,
                                   const std::function<bool()>& listed, const std::function<void()>& restart);
    // Ends the text of a streamed read: what the decoding stage still holds goes to the sink
    // (for a sink that ends its text before the read returns).
    void endText() { decoding_.end(); }
    // The encoding of the file read last (Chosen: the text is its bytes).
    FileEncoding fileEncoding() const { return fileEncoding_; }
    // The information of each file read is taken from the opened file itself, not looked up by
    // name when the file is listed: for a caller that goes on to use the bytes read, the row
    // then describes the very file they came from.
    void takeInfoFromRead(bool on) { infoFromRead_ = on; }
    platform::FileBuffer& buffer() { return buffer_; }
    // How this run reads files as text.
    const TextReading& textReading() const { return reading_; }
    // The reads that follow hand over `bytes` instead of reading the listed file: the content of
    // an archive member (`kind` ArchiveMember, read as a file's bytes are) or the text of a
    // document (Document: UTF-8 behind its mark). Null: files are read again.
    void serve(const std::string_view* bytes, TextKind kind = TextKind::ArchiveMember) {
        served_ = bytes;
        servedKind_ = kind;
    }
    // Up to `n` first bytes of a listed file into `head`; false when it could not be read.
    bool readHead(const std::string& dir, platform::DirEntry& entry, std::size_t n, std::string& head);
    // A second reused buffer for case-folded text.
    platform::FileBuffer& foldBuffer() { return fold_; }
    // The file is done: its data no longer counts against the read budget.
    void endFile();
    // Frees both buffers: at the end of the run, or after a file the memory did not suffice for.
    void releaseBuffers() {
        buffer_.release();
        fold_.release();
        decoding_.release();
        std::string().swap(decoded_);
    }

    // Lists a matching file with `counts` in its Found column; the host numbers it and makes
    // its row, which names the file's encoding when it is not the chosen one. Fetches the
    // entry's information when not yet loaded.
    void listFile(const std::string& dir, platform::DirEntry& entry,
                  const std::vector<std::int64_t>& counts);

private:
    SearchEvent& post(SearchEvent::Kind kind);
    // The listed file `entry` of `dir` as a read names it (by its name in the folder's handle),
    // and how it is read: as the walk listed it, with Stop asked between pieces.
    platform::FileRef listedFile(const std::string& dir, const platform::DirEntry& entry);
    platform::ReadRequest listedRequest(platform::DirEntry& entry);
    // Streams the file through the decoding stage into `sink`, again in the fallback page when
    // the first read found it is not UTF-8.
    platform::ReadStatus decodedStream(const platform::FileRef& file, platform::PieceSink& sink,
                                       const platform::ReadRequest& request, const std::function<void()>& restart);
    // Turns the bytes of a whole read into the file's text; false when a read again failed.
    platform::ReadStatus decodeBuffer(const std::string& dir, platform::DirEntry& entry, bool stopAtNul);
    // readEntry and the piece reads for served bytes.
    platform::ReadStatus readServed(bool stopAtNul);
    platform::ReadStatus streamServed(platform::PieceSink& sink, const platform::ReadRequest& request);
    platform::ReadStatus streamFrom(const platform::FileRef& file, platform::PieceSink& sink,
                                    const platform::ReadRequest& request) {
        return served_ ? streamServed(sink, request) : env_.fs.streamListed(file, sink, request);
    }
    // Waits until the read budget has room for another file; false when the run stopped meanwhile.
    bool budgetRoom();
    // Charges what the buffer holds to the read budget, until the file is done (endFile).
    void chargeBuffer();
    EventSlot* slot();

    const SearchConditions& conditions_;
    SearchEnv env_;
    const std::atomic<bool>& stop_;
    OrderedOutput& output_;
    EventSlot* slot_ = nullptr;
    SearchEvent dropped_;  // where events go once the host wants no more
    ReadBudget* budget_ = nullptr;
    const platform::FolderHandle* folder_ = nullptr;
    std::size_t charged_ = 0;
    bool infoFromRead_ = false;
    const platform::CodePage* codePage_;
    std::function<bool(std::uint64_t)> goOn_;  // asked between the pieces of a large read
    TermList terms_;
    MaskList masks_;
    platform::FileBuffer buffer_;
    platform::FileBuffer fold_;
    std::string path_;
    TextReading reading_;
    DecodingSink decoding_;
    FileEncoding fileEncoding_;
    std::string decoded_;
    const std::string_view* served_ = nullptr;
    TextKind servedKind_ = TextKind::ArchiveMember;
};

// Examines one file that passed the name, size and date filters and lists it when it matches.
// Each thread that examines files has its own matcher.
class ContentMatcher {
public:
    virtual ~ContentMatcher() = default;
    // `dir` has no trailing "/"; `entry` may get its information loaded.
    virtual void matchFile(const std::string& dir, platform::DirEntry& entry) = 0;
    // Frees what the matcher keeps between files (after a file the memory did not suffice for).
    virtual void releaseMemory() {}
};

}  // namespace vsr::engine
