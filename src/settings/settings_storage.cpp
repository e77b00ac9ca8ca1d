#include "settings/settings_storage.h"

#include "settings/history_values.h"
#include "settings/memo_file.h"
#include "settings/option_values.h"

namespace vsr::settings {

SettingsStorage::SettingsStorage(platform::SettingsStore& store, std::string dataFolder, SettingsEnvironment env)
    : store_(store), dataFolder_(std::move(dataFolder)), env_(std::move(env)) {
    while (dataFolder_.size() > 1 && dataFolder_.back() == '/') dataFolder_.pop_back();
}

std::string SettingsStorage::dataFile(const char* name) const { return dataFolder_ + "/" + name; }

void SettingsStorage::saveMemo(const char* file, const std::string& text, SaveReport& report) {
    const std::string path = dataFile(file);
    if (!saveMemoFile(path, text)) report.filesNotWritten.push_back(path);
}

void SettingsStorage::writeDialog(const DialogSettings& dialog, SaveReport& report) {
    saveMemo(kDirectIgnoreListFile, dialog.directIgnoreList, report);
    saveMemo(kFileIgnoreListFile, dialog.fileIgnoreList, report);
    saveDialogOptions(store_, dialog);
}

void SettingsStorage::readDialog(DialogSettings& dialog) {
    loadMemoFile(dataFile(kDirectIgnoreListFile), dialog.directIgnoreList);
    loadMemoFile(dataFile(kFileIgnoreListFile), dialog.fileIgnoreList);
    loadDialogOptions(store_, dialog, env_);
}

SaveReport SettingsStorage::SaveSettings(const StoredSettings& values, bool full) {
    SaveReport report;
    saveHistoryLists(store_, values.history);
    saveMemo(kFindMemoFile, values.memos.findMemo, report);
    saveMemo(kSearchMemoFile, values.memos.searchMemo, report);
    saveMemo(kReplaceMemoFile, values.memos.memo2, report);
    saveMainOptions(store_, values.options, env_);
    if (full) writeDialog(values.dialog, report);
    // Every value goes to disk in one piece, so a failed save leaves the previous one whole.
    report.storeWritten = store_.commit();
    return report;
}

void SettingsStorage::LoadSettings(StoredSettings& values, bool full) {
    loadHistoryLists(store_, env_.homeFolder, values.history);
    loadMemoFile(dataFile(kFindMemoFile), values.memos.findMemo);
    loadMemoFile(dataFile(kSearchMemoFile), values.memos.searchMemo);
    loadMemoFile(dataFile(kReplaceMemoFile), values.memos.memo2);
    loadMainOptions(store_, values.options, env_);
    if (full) readDialog(values.dialog);
}

void SettingsStorage::loadDialogSettings(DialogSettings& dialog) { readDialog(dialog); }

SaveReport SettingsStorage::saveDialogSettings(const DialogSettings& dialog) {
    SaveReport report;
    writeDialog(dialog, report);
    report.storeWritten = store_.commit();
    return report;
}

}  // namespace vsr::settings
