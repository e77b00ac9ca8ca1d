#pragma once
#include <string_view>

#include "platform/settings_store.h"
#include "settings/stored_settings.h"

namespace vsr::settings {

// A history list keeps at most this many items between runs.
inline constexpr int kHistoryItemsKept = 8;

// Writes "<combo>Text", "<combo>CountV" and the items "<combo>0", "<combo>1", ...
void saveHistoryList(platform::SettingsStore& store, std::string_view comboName, const HistoryList& list);

// Replaces the list with the stored one; a missing text gives defaultText, a missing
// item an empty one.
void loadHistoryList(platform::SettingsStore& store, std::string_view comboName, const std::string& defaultText,
                     HistoryList& list);

void saveHistoryLists(platform::SettingsStore& store, const HistoryLists& lists);
// homeFolder is the path shown on a first start.
void loadHistoryLists(platform::SettingsStore& store, const std::string& homeFolder, HistoryLists& lists);

}  // namespace vsr::settings
