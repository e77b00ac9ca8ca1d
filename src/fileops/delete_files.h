#pragma once
#include <cstddef>
#include <string>

#include "fileops/file_ops_prompter.h"
#include "platform/attribute_changer.h"
#include "platform/trash.h"
#include "results/result_list.h"

namespace vsr::fileops {

inline constexpr const char* kConfirmDeleteCaption = "Confirm File Delete";
inline constexpr const char* kConfirmMultipleDeleteCaption = "Confirm Multiple File Delete";
inline constexpr const char* kDeleteErrorCaption = "Error Deleting File";
inline constexpr const char* kCannotFind = ": Cannot find the specified file.";

struct DeleteOutcome {
    bool confirmed = false;
    std::size_t deleted = 0;
    // Rows of files now in the trash stay selected; the window removes them from the list.
    bool rowsToRemove = false;
};

// The question before anything is deleted: one file by name, several by number.
Question deleteConfirmation(const results::ResultList& list);

// Sends the selected rows' files to the trash after the user confirmed, asking again for
// system and read-only files. Skipped files, a file that failed and every file after a missing
// file or a cancel are deselected; only the rows of trashed files stay selected. Nothing is ever
// deleted outright: a file the trash refuses stays where it is, and among several files the user
// chooses to skip it or to cancel the rest.
DeleteOutcome DeleteSelectedFiles(results::ResultList& list, FileOpsPrompter& prompter, platform::Trash& trash,
                                  platform::AttributeChanger& attributes);

// The extra question a system or read-only file gets before a delete or a rename; "Yes to All"
// holds for one kind of warning for the rest of the command.
struct AttributeWarnings {
    bool yesToAllSystem = false;
    bool yesToAllReadOnly = false;
    // Asks when `path` is a system or read-only file whose kind has no "Yes to All" yet.
    // Ok means go on with this file.
    Answer confirm(const std::string& path, platform::AttributeChanger& attributes, FileOpsPrompter& prompter,
                   const std::string& caption, const std::string& question, Buttons buttons);
};

}  // namespace vsr::fileops
