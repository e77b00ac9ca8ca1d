#pragma once
#include <cstddef>
#include <vector>

#include "fileops/file_ops_prompter.h"
#include "fileops/rename_rules.h"
#include "platform/attribute_changer.h"
#include "platform/type_names.h"
#include "results/result_list.h"

namespace vsr::fileops {

inline constexpr const char* kRenameErrorCaption = "Error Renaming File";
inline constexpr const char* kConfirmRenameCaption = "Confirm File Rename";

struct RenameOutcome {
    std::vector<std::size_t> renamedRows;
};

// Renames the selected rows' files by validated commands, in row order. A renamed row shows
// its new name, and a new type when its extension changed. A file whose rename fails keeps its
// name, and so does its row.
RenameOutcome RenameSelectedFiles(results::ResultList& list, const RenameCommands& commands,
                                  FileOpsPrompter& prompter, platform::AttributeChanger& attributes,
                                  const platform::TypeNames& typeNames);

}  // namespace vsr::fileops
