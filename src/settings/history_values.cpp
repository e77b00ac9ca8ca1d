#include "settings/history_values.h"

#include <algorithm>

#include "settings/key_paths.h"
#include "settings/value_text.h"

namespace vsr::settings {

namespace {
std::string named(std::string_view comboName, std::string_view suffix) {
    std::string name(comboName);
    name += suffix;
    return name;
}
}  // namespace

void saveHistoryList(platform::SettingsStore& store, std::string_view comboName, const HistoryList& list) {
    ValueWriter out(store, kProgramKey);
    out.text(named(comboName, "Text"), list.text);
    const int count = std::min<int>(static_cast<int>(list.items.size()), kHistoryItemsKept);
    out.integer(named(comboName, "CountV"), count);
    for (int i = 0; i < count; ++i) out.text(named(comboName, std::to_string(i)), list.items[i]);
}

void loadHistoryList(platform::SettingsStore& store, std::string_view comboName, const std::string& defaultText,
                     HistoryList& list) {
    ValueReader in(store, kProgramKey);
    list.text = in.text(named(comboName, "Text"), defaultText);
    // A count edited by hand beyond what is ever written must not flood the list.
    const int count = std::clamp(in.integer(named(comboName, "CountV"), 0), 0, kHistoryItemsKept);
    list.items.clear();
    for (int i = 0; i < count; ++i) list.items.push_back(in.text(named(comboName, std::to_string(i)), ""));
}

void saveHistoryLists(platform::SettingsStore& store, const HistoryLists& lists) {
    saveHistoryList(store, "ComboBoxPath", lists.comboBoxPath);
    saveHistoryList(store, "FindEditComboBox", lists.findEditComboBox);
    saveHistoryList(store, "SearchEdit", lists.searchEdit);
    saveHistoryList(store, "Edit2", lists.edit2);
    saveHistoryList(store, "MasksComboBox", lists.masksComboBox);
}

void loadHistoryLists(platform::SettingsStore& store, const std::string& homeFolder, HistoryLists& lists) {
    loadHistoryList(store, "ComboBoxPath", homeFolder, lists.comboBoxPath);
    loadHistoryList(store, "FindEditComboBox", "", lists.findEditComboBox);
    loadHistoryList(store, "SearchEdit", "", lists.searchEdit);
    loadHistoryList(store, "Edit2", "", lists.edit2);
    loadHistoryList(store, "MasksComboBox", "*.*", lists.masksComboBox);
    // Without a stored list the masks offer the two common choices.
    if (lists.masksComboBox.items.empty()) lists.masksComboBox.items = {"*.html; *.htm", "*.txt"};
}

}  // namespace vsr::settings
