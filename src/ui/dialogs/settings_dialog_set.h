#pragma once
#include <functional>
#include <memory>

#include "engine/modify/modify_context.h"
#include "platform/code_page.h"
#include "settings/stored_settings.h"

class QWidget;

namespace vsr::ui {

class CommandSet;
class WindowPrompter;
class HelpTopics;
class TFileIgnoreDlg;
class TPathIgnoreDlg;
class TSettDlg;

// The settings dialog and the two ignore-list dialogs, made once at start-up from the stored
// values and kept until the program ends. Whatever they hold after a dialog closed is what
// the next search and modification use and what the program saves at its end.
class SettingsDialogSet {
public:
    // What the dialogs use of the window, which fills it with its own records.
    struct Window {
        QWidget* parent;                   // the dialogs' parent
        CommandSet& commands;              // where "Settings" is registered
        HelpTopics& help;                  // F1 in the dialogs
        settings::DialogSettings& values;  // the values the dialogs were last accepted with
        settings::MainOptions& options;    // the folders the dialogs' pickers start in
        // OK changed the text encoding: the typed texts are other bytes now.
        std::function<void(platform::CodePageId before, platform::CodePageId after)> textEncodingChanged;
    };
    SettingsDialogSet(Window window, WindowPrompter& prompter);
    ~SettingsDialogSet();

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
    Window w_;
    WindowPrompter& prompter_;
    std::unique_ptr<TPathIgnoreDlg> paths_;
    std::unique_ptr<TFileIgnoreDlg> files_;
    std::unique_ptr<TSettDlg> settings_;
};

}  // namespace vsr::ui
