#pragma once
#include <string>

#include "results/result_list.h"

namespace vsr::fileops {

// Members of archives are only ever read: Delete Files and Rename Files refuse a selection that
// holds one, before anything is asked or touched, since doing the rest would leave the user
// guessing which files changed. `verb` is "delete" or "rename"; the text names the first such
// member and its archive and counts the others. Empty when no selected row is a member.
std::string memberRefusal(const results::ResultList& list, const std::string& verb);

}  // namespace vsr::fileops
