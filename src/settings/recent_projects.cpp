#include "settings/recent_projects.h"

#include <algorithm>

#include "settings/key_paths.h"
#include "settings/settings_storage.h"
#include "settings/value_text.h"

namespace vsr::settings {

namespace {

constexpr const char* kCountName = "RecentProjectsCountV";

std::string itemName(int i) { return "RecentProjects" + std::to_string(i); }

}  // namespace

std::vector<std::string> withRecentProject(std::vector<std::string> list, const std::string& path) {
    list = withoutRecentProject(std::move(list), path);
    list.insert(list.begin(), path);
    if (list.size() > std::size_t(kRecentProjectsKept)) list.resize(kRecentProjectsKept);
    return list;
}

std::vector<std::string> withoutRecentProject(std::vector<std::string> list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    return list;
}

std::vector<std::string> loadRecentProjects(platform::SettingsStore& store) {
    ValueReader in(store, kOptionsKey);
    // A count edited by hand may be anything; the items that are there are what counts.
    const int count = std::clamp(in.integer(kCountName, 0), 0, kRecentProjectsKept);
    std::vector<std::string> list;
    for (int i = 0; i < count; ++i) {
        const std::string path = in.text(itemName(i), "");
        if (!path.empty() && std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
    }
    return list;
}

void saveRecentProjects(platform::SettingsStore& store, const std::vector<std::string>& list) {
    ValueWriter out(store, kOptionsKey);
    const int count = std::min<int>(static_cast<int>(list.size()), kRecentProjectsKept);
    out.integer(kCountName, count);
    for (int i = 0; i < count; ++i) out.text(itemName(i), list[std::size_t(i)]);
    // Items past the count stay unread; emptied, the file shows no project that left the list.
    for (int i = count; i < kRecentProjectsKept; ++i)
        if (store.readString(kOptionsKey, itemName(i))) out.text(itemName(i), "");
}

std::vector<std::string> SettingsStorage::loadRecentProjects() { return settings::loadRecentProjects(store_); }

bool SettingsStorage::saveRecentProjects(const std::vector<std::string>& list) {
    settings::saveRecentProjects(store_, list);
    return store_.commit();
}

}  // namespace vsr::settings
