#pragma once
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "settings/settings_environment.h"
#include "settings/stored_settings.h"

namespace vsr::settings {

// Names of the text files in the data folder.
inline constexpr const char* kFindMemoFile = "FindMemo.tmp";
inline constexpr const char* kSearchMemoFile = "SearchMemo.tmp";
inline constexpr const char* kReplaceMemoFile = "ReplaceMemo.tmp";
inline constexpr const char* kDirectIgnoreListFile = "DirectIgnoreList.tmp";
inline constexpr const char* kFileIgnoreListFile = "FileIgnoreList.tmp";

// What a save could not write. Saving goes on past every failure; nothing already
// stored is damaged by one.
struct SaveReport {
    bool storeWritten = true;
    std::vector<std::string> filesNotWritten;  // full paths

    bool ok() const { return storeWritten && filesNotWritten.empty(); }
};

// Loads and saves every setting: the values in the per-user store and the memo
// files in the data folder.
class SettingsStorage {
public:
    SettingsStorage(platform::SettingsStore& store, std::string dataFolder, SettingsEnvironment env);

    // History lists, the three memo files and the main window's options; with full
    // also the settings-dialog values and the two ignore lists.
    SaveReport SaveSettings(const StoredSettings& values, bool full);

    // The reverse, with the first-start default for every missing or garbled value.
    // Without full the dialog values are left as they are. A memo whose file is
    // missing or unreadable keeps what it had.
    void LoadSettings(StoredSettings& values, bool full);

    // The settings dialogs read their values when they are created and write them
    // when the program ends.
    void loadDialogSettings(DialogSettings& dialog);
    SaveReport saveDialogSettings(const DialogSettings& dialog);

    // The folder of the text files, fixed at start-up.
    const std::string& DataFolder() const { return dataFolder_; }
    std::string dataFile(const char* name) const;

    const SettingsEnvironment& environment() const { return env_; }

    // The Project menu's recent projects, most recent first; a save is durable at once, so the
    // list survives a program that never closes normally. False when it could not be written.
    std::vector<std::string> loadRecentProjects();
    bool saveRecentProjects(const std::vector<std::string>& list);

private:
    void saveMemo(const char* file, const std::string& text, SaveReport& report);
    void writeDialog(const DialogSettings& dialog, SaveReport& report);
    void readDialog(DialogSettings& dialog);

    platform::SettingsStore& store_;
    std::string dataFolder_;
    SettingsEnvironment env_;
};

}  // namespace vsr::settings
