#include "fileops/copy_files.h"

#include "engine/decode/container_text.h"
#include "fileops/disk_files.h"
#include "platform/file_system.h"

namespace vsr::fileops {

CopyOutcome CopySelectedFiles(const results::ResultList& list, const std::string& folder, FileOpsPrompter& prompter,
                              const CopyFaults* faults, MemberCopies* members) {
    CopyOutcome out;
    const std::size_t selected = list.selectedCount();
    bool yesToAll = false;
    for (std::size_t i = 0; i < list.count() && !out.cancelled; ++i) {
        const results::ResultItem& row = list.row(i);
        if (!row.selected) continue;
        const std::string source = row.fullName();
        const std::string target = platform::joinPath(folder, row.name);
        if (target == source || sameFile(target, source)) continue;
        const bool exists = fileExists(target) || folderExists(target);
        if (exists && !yesToAll) {
            Question q{Dialog::Copy, kCopyCaption, {{target + " already exists.", 360, 3}, {kReplaceQuestion}},
                       buttonsFor(selected)};
            const Answer answer = prompter.ask(q);
            if (answer == Answer::Cancel) {
                out.cancelled = true;
                break;
            }
            if (answer == Answer::Skip) continue;
            if (answer == Answer::YesToAll) yesToAll = true;
        }
        // A member of an archive is copied as the file it was before it was packed.
        std::string from = source;
        if (const std::string archive = members ? engine::archiveOnDisk(source) : std::string(); !archive.empty()) {
            const std::atomic<bool> noStop = false;
            const MemberCopies::Written copy = members->write(archive, source, MemberCopies::Use::Copy, noStop);
            if (copy.path.empty()) {
                out.failures.push_back("Cannot copy " + source + " to " + target + ": " + copy.error);
                continue;
            }
            from = copy.path;
        }
        const CopyResult result = copyFile(from, target, exists, faults);
        if (from != source) members->discard(from);
        if (result.status == CopyStatus::Copied) {
            ++out.copied;
            continue;
        }
        if (result.status == CopyStatus::TargetIsSource) continue;
        std::string reason = result.error;
        if (result.status == CopyStatus::SourceMissing) reason = "Cannot find the specified file.";
        else if (result.status == CopyStatus::TargetReadOnly) reason = "The target is a read-only file.";
        else if (result.status == CopyStatus::TargetExists) reason = "The target appeared meanwhile and was kept.";
        out.failures.push_back("Cannot copy " + source + " to " + target + (reason.empty() ? "" : ": " + reason));
    }
    return out;
}

std::string copyFailureText(const std::vector<std::string>& failures) {
    constexpr std::size_t kShown = 10;
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < kShown; ++i) text += (i ? "\n" : "") + failures[i];
    if (failures.size() > kShown)
        text += "\n... and " + std::to_string(failures.size() - kShown) + " more files were not copied.";
    return text;
}

}  // namespace vsr::fileops
