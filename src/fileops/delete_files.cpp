#include "fileops/delete_files.h"

#include "fileops/disk_files.h"
#include "fileops/member_refusal.h"

namespace vsr::fileops {

namespace {

void deselectFrom(results::ResultList& list, std::size_t first) {
    for (std::size_t i = first; i < list.count(); ++i)
        if (list.row(i).selected) list.setSelected(i, false);
}

}  // namespace

Answer AttributeWarnings::confirm(const std::string& path, platform::AttributeChanger& attributes,
                                  FileOpsPrompter& prompter, const std::string& caption, const std::string& question,
                                  Buttons buttons) {
    const std::optional<platform::FileAttributes> a = attributes.read(path);
    if (!a) return Answer::Ok;
    bool system = false;
    std::string warning;
    if (a->system && !yesToAllSystem) {
        system = true;
        warning = " is a system file.";
    } else if (a->readOnly && !yesToAllReadOnly) {
        warning = " is a read-only file.";
    }
    if (warning.empty()) return Answer::Ok;
    const Answer answer =
        prompter.ask({Dialog::ReadOnly, caption, {{"The file " + path + warning, 360, 12}, {question}}, buttons});
    if (answer == Answer::YesToAll) {
        (system ? yesToAllSystem : yesToAllReadOnly) = true;
        return Answer::Ok;
    }
    return answer;
}

Question deleteConfirmation(const results::ResultList& list) {
    const std::size_t selected = list.selectedCount();
    if (selected == 1) {
        const std::string file = list.row(static_cast<std::size_t>(list.firstSelected())).fullName();
        return {Dialog::DeleteFiles,
                kConfirmDeleteCaption,
                {{"Are you sure you want to send"}, {file, 319, 3}, {"to the Trash?"}},
                Buttons::OkCancel};
    }
    return {Dialog::DeleteFiles,
            kConfirmMultipleDeleteCaption,
            {{"Are you sure you want to send these " + std::to_string(selected) + " files to the Trash?"}},
            Buttons::OkCancel};
}

DeleteOutcome DeleteSelectedFiles(results::ResultList& list, FileOpsPrompter& prompter, platform::Trash& trash,
                                  platform::AttributeChanger& attributes) {
    DeleteOutcome out;
    const std::size_t selected = list.selectedCount();
    if (selected == 0) return out;
    if (const std::string refused = memberRefusal(list, "delete"); !refused.empty()) {
        prompter.message(kDeleteErrorCaption, refused);
        return out;
    }
    if (prompter.ask(deleteConfirmation(list)) != Answer::Ok) return out;
    out.confirmed = true;
    AttributeWarnings warnings;
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (!list.row(i).selected) continue;
        const std::string file = list.row(i).fullName();
        if (!fileExists(file)) {
            prompter.message(kDeleteErrorCaption, "Cannot delete " + file + kCannotFind);
            deselectFrom(list, i);
            break;
        }
        const Answer answer = warnings.confirm(file, attributes, prompter, kConfirmDeleteCaption,
                                               "Are you sure you want to delete it?", buttonsFor(selected));
        if (answer == Answer::Cancel) {
            deselectFrom(list, i);
            break;
        }
        if (answer == Answer::Skip) {
            list.setSelected(i, false);
            continue;
        }
        if (!trash.moveToTrash(file)) {
            // One file the trash can't take need not keep the others from it.
            if (selected == 1) {
                prompter.message(kDeleteErrorCaption, "Cannot delete " + file);
                deselectFrom(list, i);
                break;
            }
            const Answer next = prompter.ask(
                {Dialog::Copy, kDeleteErrorCaption, {{"Cannot delete " + file, 360, 17}}, Buttons::SkipCancel});
            if (next == Answer::Cancel) {
                deselectFrom(list, i);
                break;
            }
            list.setSelected(i, false);
            continue;
        }
        ++out.deleted;
    }
    out.rowsToRemove = list.selectedCount() > 0;
    return out;
}

}  // namespace vsr::fileops
