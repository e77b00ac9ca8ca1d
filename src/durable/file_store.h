#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "durable/safe_writer.h"

namespace vsr::durable {

// How a path reaches its file: through a symbolic link, and how many names the file has.
struct FileLinks {
    bool symbolicLink = false;
    unsigned long hardLinks = 1;
    // The file itself (after following a link); both 0 when it is missing.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The file operations of modification, backups and undo, behind one interface so tests can
// make any of them fail (a full disk, a vanished file, a refused rename).
class FileStore {
public:
    virtual ~FileStore() = default;
    // Whether `path` names an existing regular file (a link is followed).
    virtual bool exists(const std::string& path) = 0;
    virtual FileLinks links(const std::string& path) = 0;
    // The whole file, NUL bytes included; nothing when it can't be read. `stamp` records which
    // file was read and in what state.
    virtual std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp = nullptr) = 0;
    // The same for the file at `place`, a symbolic link there not followed.
    virtual std::optional<std::string> readAt(const platform::FilePlace& place, platform::FileStamp* stamp = nullptr) {
        return read(place.path(), stamp);
    }
    // The batched safe rewrite (see RewriteBatch).
    virtual RewriteBatch::Staged stageRewrite(const RewriteRequest& request, std::size_t tag) = 0;
    virtual bool lastBackupMade() const = 0;
    virtual bool rewritesFull() const = 0;
    // Publishes everything staged and returns the outcomes not yet taken.
    virtual std::vector<RewriteBatch::Published> commitRewrites() = 0;
    // Hands the staged rewrites over to be published while the caller goes on (by default they
    // are published at once); their outcomes come from takePublished().
    virtual void sendRewrites() {
        std::vector<RewriteBatch::Published> done = commitRewrites();
        published_.insert(published_.end(), done.begin(), done.end());
    }
    // The outcomes of the rewrites published since the last call, in the order they were
    // staged; with `wait`, once every rewrite sent is published.
    virtual std::vector<RewriteBatch::Published> takePublished(bool wait) {
        (void)wait;
        return std::exchange(published_, {});
    }
    // The new file of the last rewrite staged as Pending, which becomes the file once published
    // (nothing known: both 0).
    virtual FileId lastStaged() const { return {}; }
    // Why the last rewrite was Refused or Damaged, for the user; empty when not known.
    virtual std::string lastRefusal() const { return {}; }
    // Puts the backup `backup` in place of the file `path` in one step, so the file exists
    // under its name at every moment; the backup is gone afterwards. A link or a file with
    // several names keeps being what it is: its contents are restored in place instead.
    virtual bool restoreBackup(const std::string& path, const std::string& backup) = 0;
    // The same for a file reached without following links: `name` is the file's own entry (which
    // may be a link), `file` the file it leads to and `backup` its backup.
    virtual bool restoreBackupAt(const platform::FilePlace& name, const platform::FilePlace& file, const platform::FilePlace& backup) {
        (void)file;
        return restoreBackup(name.path(), backup.path());
    }
    virtual bool removeFile(const std::string& path) = 0;

protected:
    std::vector<RewriteBatch::Published> published_;
};

// The real disk. `faults` reach the writer, for tests of full disks and refusing folders.
class PosixFileStore : public FileStore {
public:
    PosixFileStore() : batch_(&faults) {}
    bool exists(const std::string& path) override;
    FileLinks links(const std::string& path) override;
    std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp = nullptr) override;
    std::optional<std::string> readAt(const platform::FilePlace& place, platform::FileStamp* stamp = nullptr) override {
        return platform::readWholeFileAt(place, stamp);
    }
    RewriteBatch::Staged stageRewrite(const RewriteRequest& request, std::size_t tag) override;
    bool lastBackupMade() const override { return batch_.lastBackupMade(); }
    bool rewritesFull() const override { return batch_.full(); }
    std::vector<RewriteBatch::Published> commitRewrites() override { return batch_.commit(); }
    void sendRewrites() override { batch_.send(); }
    std::vector<RewriteBatch::Published> takePublished(bool wait) override { return batch_.takePublished(wait); }
    FileId lastStaged() const override { return batch_.lastStaged(); }
    std::string lastRefusal() const override { return batch_.lastRefusal(); }
    bool restoreBackup(const std::string& path, const std::string& backup) override;
    bool restoreBackupAt(const platform::FilePlace& name, const platform::FilePlace& file, const platform::FilePlace& backup) override;
    bool removeFile(const std::string& path) override;

    RewriteFaults faults;

private:
    RewriteBatch batch_;
};

}  // namespace vsr::durable
