#pragma once
#include <memory>

#include "engine/modify/modify_context.h"
#include "settings/stored_settings.h"

namespace vsr::ui {

class DialogPrompter;
class TFileIgnoreDlg;
class TFind;
class TPathIgnoreDlg;
class TSettDlg;

// The settings dialog and the two ignore-list dialogs, made once at start-up from the stored
// values and kept until the program ends. Whatever they hold after a dialog closed is what
// the next search and modification use and what the program saves at its end.
class SettingsDialogs {
public:
    SettingsDialogs(TFind& window, DialogPrompter& prompter);
    ~SettingsDialogs();

    // "Settin&gs": shows TSettDlg modally.
    void ShowSettings();
    // Puts values into the dialogs (start-up, or a project that carries them).
    void load(const settings::DialogSettings& values);
    // The dialogs' values into the window's settings records.
    void store();

    // What a modification run reads from the settings dialog: the line separator and whether
    // read-only and hidden files are modified.
    engine::ModifyOptions modifyOptions() const;

    TSettDlg& settings() { return *settings_; }
    TPathIgnoreDlg& pathIgnore() { return *paths_; }
    TFileIgnoreDlg& fileIgnore() { return *files_; }

private:
    TFind& w_;
    DialogPrompter& prompter_;
    std::unique_ptr<TPathIgnoreDlg> paths_;
    std::unique_ptr<TFileIgnoreDlg> files_;
    std::unique_ptr<TSettDlg> settings_;
};

}  // namespace vsr::ui
