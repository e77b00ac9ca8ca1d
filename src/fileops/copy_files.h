#pragma once
#include <string>
#include <vector>

#include "fileops/file_copy.h"
#include "fileops/file_ops_prompter.h"
#include "fileops/member_copies.h"
#include "results/result_list.h"

namespace vsr::fileops {

inline constexpr const char* kCopyCaption = "Copy Files";
inline constexpr const char* kCopyFailedCaption = "Error Copying File";
inline constexpr const char* kReplaceQuestion = "Do you want to replace it?";

struct CopyOutcome {
    std::size_t copied = 0;
    bool cancelled = false;
    // "Cannot copy <source> to <target>: <reason>" for every copy that was tried and failed.
    std::vector<std::string> failures;
};

// Copies the selected rows' files into `folder`, in row order, asking before anything is
// replaced. A target that is the source itself is passed over without a question. The list
// is not changed. A member of an archive is written out through `members` and copied from
// there under its own name; without `members` it is a missing file.
CopyOutcome CopySelectedFiles(const results::ResultList& list, const std::string& folder, FileOpsPrompter& prompter,
                              const CopyFaults* faults = nullptr, MemberCopies* members = nullptr);

// The one message that reports the failures of a copy run, or empty when there were none.
std::string copyFailureText(const std::vector<std::string>& failures);

}  // namespace vsr::fileops
