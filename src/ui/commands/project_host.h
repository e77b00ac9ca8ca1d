#pragma once
#include "platform/locale_formats.h"
#include "settings/settings_storage.h"
#include "ui/common/help_topics.h"
#include "ui/common/window_part_host.h"

namespace vsr::ui {

class WindowPrompter;
class WindowDriverHost;

// What the project commands need of the window: its conditions read into a project value and
// a project value put back, the window's state after an incorrect project, the tab a batch
// shows, and the window as batch replace drives it.
class ProjectHost : public virtual WindowPartHost {
public:
    virtual WindowDriverHost& driverHost() = 0;
    virtual HelpTopics& help() = 0;
    // Where the settings are kept; null: nowhere.
    virtual settings::SettingsStorage* settingsStorage() const = 0;
    // The dates of project files; null: the system's.
    virtual const platform::LocaleFormats* localeFormats() const = 0;
    // Shows the batch dialog; null: the real one.
    virtual WindowPrompter* dialogPrompter() const = 0;

    // The controls and the settings dialog's values into the stored settings, which are returned.
    virtual settings::StoredSettings& collectSettings() = 0;
    // A project's settings into the controls: both tabs' lists hidden, as loading empties the
    // results, and then the project's tab shown.
    virtual void applyProject(const settings::StoredSettings& project) = 0;
    // The settings dialog's values, which a project may change in place, and their application.
    virtual settings::DialogSettings& dialogSettings() = 0;
    virtual void applyDialogSettings() = 0;
    // After an incorrect project: the fields emptied, the stored settings back in the controls
    // and the Find tab shown.
    virtual void restoreAfterIncorrectProject() = 0;
    // Lets "Hide List" of the Search and Replace tab be pressed again after a batch.
    virtual void allowHideSearchList() = 0;
};

}  // namespace vsr::ui
