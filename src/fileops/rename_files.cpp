#include "fileops/rename_files.h"

#include "fileops/delete_files.h"
#include "fileops/disk_files.h"
#include "fileops/member_refusal.h"
#include "platform/file_system.h"
#include "results/row_texts.h"

namespace vsr::fileops {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

RenameOutcome RenameSelectedFiles(results::ResultList& list, const RenameCommands& commands,
                                  FileOpsPrompter& prompter, platform::AttributeChanger& attributes,
                                  const platform::TypeNames& typeNames) {
    RenameOutcome out;
    const std::size_t selected = list.selectedCount();
    const bool single = selected == 1;
    if (const std::string refused = memberRefusal(list, "rename"); !refused.empty()) {
        prompter.message(kRenameErrorCaption, refused);
        return out;
    }
    AttributeWarnings warnings;
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (!list.row(i).selected) continue;
        const results::ResultItem& row = list.row(i);
        const std::string file = row.fullName();
        if (!fileExists(file)) {
            prompter.message(kRenameErrorCaption, "Cannot rename " + file + kCannotFind);
            break;
        }
        const Answer answer = warnings.confirm(file, attributes, prompter, kConfirmRenameCaption,
                                               "Are you sure you want to rename it?", buttonsFor(selected));
        if (answer == Answer::Cancel) break;
        if (answer == Answer::Skip) continue;

        const NameParts parts = renamedParts(row.name, commands);
        const std::string newName = newFileName(row.name, commands);
        if (newName == row.name) continue;
        const std::string target = platform::joinPath(row.path, newName);

        RenameResult result = RenameResult::Failed;
        // An empty new name would be the folder itself, not a file that already exists.
        if (!newName.empty() && (fileExists(target) || folderExists(target))) result = RenameResult::TargetExists;
        else if (!parts.base.empty()) result = renameWithoutReplacing(file, target);

        if (result == RenameResult::TargetExists) {
            const std::string exists = "A file with the name you specified (" + newName + ") already exists.";
            if (single) {
                prompter.message(kRenameErrorCaption, "Cannot rename " + file + ": " + exists);
                break;
            }
            const Answer a = prompter.ask({Dialog::Copy, kRenameErrorCaption,
                                           {{"Cannot rename " + file + ":", 360, 17}, {exists, 360, 17}},
                                           Buttons::SkipCancel});
            if (a == Answer::Cancel) break;
            continue;
        }
        if (result == RenameResult::Failed) {
            if (single) {
                prompter.message(kRenameErrorCaption, "Cannot rename " + quoted(file) + " to " + quoted(newName));
                break;
            }
            const Answer a = prompter.ask({Dialog::Copy, kRenameErrorCaption,
                                           {{"Cannot rename " + quoted(file), 360, 17}, {" to " + quoted(newName), 360, 17}},
                                           Buttons::SkipCancel});
            if (a == Answer::Cancel) break;
            continue;
        }

        results::ResultItem& renamed = list.mutableRow(i);
        const bool extensionChanged = splitName(renamed.name).extension != parts.extension;
        renamed.name = newName;
        if (extensionChanged) renamed.type = results::typeText(newName, typeNames);
        list.notifyRowChanged(i);
        out.renamedRows.push_back(i);
    }
    return out;
}

}  // namespace vsr::fileops
