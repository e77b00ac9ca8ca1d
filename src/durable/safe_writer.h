#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "durable/deferred_close.h"
#include "platform/file_place.h"
#include "platform/file_read.h"
#include "durable/recovery_journal.h"

namespace vsr::durable {

// How a rewrite ended. Only Damaged means the file may no longer hold its old bytes; a note in
// the recovery folder then still holds them for the next start.
enum class RewriteOutcome {
    Written,    // the file holds the new bytes
    Unchanged,  // the rewrite was refused or failed and the file is exactly as it was
    Damaged,    // the write failed and so did putting the old bytes back
};

// Failures a test can force on the writer, to see that no path loses the file.
struct RewriteFaults {
    std::int64_t failWriteAfter = -1;  // writes fail as on a full disk once this many bytes went out
    bool noTempFile = false;           // the folder refuses new files, as a read-only folder would
    bool noBackup = false;             // the backup can't be made (a name too long, no inodes left)
    bool failRestore = false;          // writing the old bytes back fails as well
    bool noUnnamedFiles = false;       // the file system has no unnamed files (older overlay file systems)
    bool noHardLinks = false;          // the file system has no hard links (FAT): a backup is a copy
    bool failFlush = false;            // flushing a batch to disk fails, as on a failing disk
};

// Which file: the device and inode a name leads to.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// One file to rewrite.
struct RewriteRequest {
    std::string path;              // the file; a symbolic link is followed and stays a link
    std::string_view bytes;        // its new contents
    std::string_view oldBytes;     // the contents that were read, for a backup or a recovery copy
    platform::FileStamp readAs;              // the file as it was read: nothing is published once it changed
    bool makeBackup = false;       // also write oldBytes to backupPath, before the file changes
    std::string backupPath;
    bool clearReadOnly = false;    // the user allowed rewriting a file its owner can't write
    // Where the file and its backup lie, reached without following links (platform::SearchedTree). When
    // empty they lie where `path` and `backupPath` lead; a link at `place` itself is refused.
    platform::FilePlace place;
    platform::FilePlace backupPlace;
};

// The rewrites of one run, published in batches: each new file is written to an unnamed file in
// the file's folder with the file's owner, group, mode and extended attributes; a batch is then
// flushed with one file-system flush and its files renamed over the originals, so a kill leaves
// every file wholly old or wholly new and no temporary behind. A batch whose flush fails is not
// published at all. The backup of such a file is the file as it was read: its inode gets the
// backup's name just before the new file takes the file's name, so it keeps its bytes, time,
// owner and attributes without a copy (a copy where the file system has no hard links). A file
// with several hard links, or one whose folder refuses new files or whose owner a new file can't
// get, is rewritten in place at once, after its old bytes were made durable (its backup, else a
// recovery copy).
//
// Batches are published on a thread of the batch's own, one at a time, while the caller stages
// the next one; stage(), send() and takePublished() belong to one calling thread.
class RewriteBatch {
public:
    enum class Staged {
        Pending,  // waits to be sent and published
        Written,  // rewritten in place already
        Refused,  // nothing was changed
        Damaged,  // the in-place write failed halfway and could not be undone
    };
    struct Published {
        std::size_t tag;
        RewriteOutcome outcome;
        bool backupMade;
        std::string reason;  // why the file was left unchanged, for the user
    };

    explicit RewriteBatch(const RewriteFaults* faults = nullptr);
    // Publishes a batch still on its way; files staged but never sent are left as they were.
    ~RewriteBatch();
    RewriteBatch(const RewriteBatch&) = delete;
    RewriteBatch& operator=(const RewriteBatch&) = delete;

    // Prepares the rewrite; `tag` comes back with its outcome. For Written, lastBackupMade()
    // tells whether a backup was published with it; for Pending, lastStaged() is the new file,
    // which is the file's own once it is published.
    Staged stage(const RewriteRequest& request, std::size_t tag);
    bool lastBackupMade() const { return lastBackupMade_; }
    FileId lastStaged() const { return lastStaged_; }
    // For Refused and Damaged: why, for the user ("it changed since it was read").
    const std::string& lastRefusal() const { return refusal_; }
    // Enough is pending that the caller should send it before staging more.
    bool full() const;
    bool empty() const { return pending_.empty(); }
    // Hands everything staged to the publishing thread; waits only while the batch sent before
    // is still being published.
    void send();
    // The outcomes of the files published since the last call, in the order they were staged;
    // with `wait`, once every file sent is published.
    std::vector<Published> takePublished(bool wait);
    // Sends and waits: the outcomes of everything staged.
    std::vector<Published> commit() {
        send();
        return takePublished(true);
    }

private:
    struct Pending;
    struct Sealed;
    Staged inPlace(const RewriteRequest& r, const platform::FilePlace& place, const platform::FilePlace& backup, const struct stat& st);
    Staged refuse(std::string why);
    std::vector<Published> publish(Sealed& batch);
    bool publishBackup(Pending& p, TempNameLog& names);
    void publishing();

    const RewriteFaults* faults_;
    // Files that lost their last name to a rewrite are let go of here, off the caller's thread.
    DeferredClose released_;
    std::vector<std::unique_ptr<Pending>> pending_;
    std::size_t pendingBytes_ = 0;
    std::unique_ptr<TempNameLog> names_;
    bool lastBackupMade_ = false;
    FileId lastStaged_;
    std::string refusal_;

    std::mutex mutex_;
    std::condition_variable sentOne_;   // a batch was sent, or the end
    std::condition_variable doneOne_;   // the batch sent was published
    std::unique_ptr<Sealed> sent_;      // the batch being published
    std::vector<Published> published_;  // outcomes not yet taken
    bool quit_ = false;
    std::thread publisher_;
};

// Writes `bytes` as the file `path`, created when missing, through the same writer (a link is
// followed; a file with several hard links is rewritten in place). False on any failure; the
// file is then as it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vsr::durable
