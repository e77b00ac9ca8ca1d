#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vsr::durable {

// The program's state folder for interrupted writes: $XDG_STATE_HOME (default ~/.local/state)
// + "/Vantix Search & Replace/recovery". Created when missing; empty when that fails.
std::string recoveryFolder();

// A durable note, made before a file is overwritten in place, that `source` holds the bytes the
// file must get back if the write is cut short. A kill leaves the note; the next start finds it
// and, if the file is still as the write left it, copies `source` over the file, so the file
// ends wholly as `source` has it. A file changed by someone since is left as it is.
class RecoveryRecord {
public:
    RecoveryRecord() = default;
    ~RecoveryRecord();
    RecoveryRecord(const RecoveryRecord&) = delete;
    RecoveryRecord& operator=(const RecoveryRecord&) = delete;

    // Keeps `oldBytes` as a recovery copy in the state folder and notes it as the source of a
    // rewrite of `target` from `oldBytes` to `newBytes`.
    bool beginWithCopy(const std::string& target, std::string_view oldBytes, std::string_view newBytes,
                       unsigned mode);
    // Notes an existing durable file (a backup) as the source of a rewrite from `oldBytes` to
    // `newBytes`; with `removeSource` recovery deletes it once copied, as an undo does.
    bool beginWithSource(const std::string& target, const std::string& source, bool removeSource,
                         std::string_view oldBytes, std::string_view newBytes, unsigned mode);
    // The write is complete and flushed: the note and a copy it owns are removed.
    void finish();

private:
    bool write(const std::string& target, const std::string& source, bool removeSource, unsigned mode,
               std::string_view oldBytes, std::string_view newBytes);
    std::string base_;  // the name shared by the note and its copy
    std::string recordPath_;
    std::string ownCopy_;
};

// Names a batch is about to give its temporary files, noted before each is named so that a
// kill between naming and the rename over the file leaves nothing the next start keeps.
class TempNameLog {
public:
    ~TempNameLog();
    bool add(const std::string& path);
    // The batch is published: its names are gone.
    void clear();

private:
    int fd_ = -1;
    std::string path_;
};

// What the recovery at start did.
struct RecoveryReport {
    std::vector<std::string> restored;  // files put back from their saved copy
    std::vector<std::string> failed;    // files whose saved copy is gone or can't be written back
    // Files changed (or removed, or replaced) by someone after the run was cut short: left as
    // they are. Each with the file that keeps its bytes from before the run.
    std::vector<std::pair<std::string, std::string>> leftAlone;
    bool empty() const { return restored.empty() && failed.empty() && leftAlone.empty(); }
};

// Finishes what killed runs left: every noted file is copied back from its source, leftover
// temporaries are removed. Notes of processes still running are left alone.
RecoveryReport recoverInterruptedWrites();

// The message that names the recovered files; empty when there is nothing to say.
std::string recoveryMessage(const RecoveryReport& report);

}  // namespace vsr::durable
