#pragma once
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace vsr::settings {

// The Project menu offers this many of the projects opened or saved last.
inline constexpr int kRecentProjectsKept = 8;

// The list with `path` moved (or added) to the top, each path once, at most kRecentProjectsKept.
std::vector<std::string> withRecentProject(std::vector<std::string> list, const std::string& path);
// The list without `path`.
std::vector<std::string> withoutRecentProject(std::vector<std::string> list, const std::string& path);

// "RecentProjectsCountV" and the items "RecentProjects0", "RecentProjects1", ... in "Options".
// Loading skips empty and repeated items and never gives more than kRecentProjectsKept.
std::vector<std::string> loadRecentProjects(platform::SettingsStore& store);
void saveRecentProjects(platform::SettingsStore& store, const std::vector<std::string>& list);

}  // namespace vsr::settings
