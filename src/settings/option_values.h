#pragma once
#include "platform/settings_store.h"
#include "settings/settings_environment.h"
#include "settings/stored_settings.h"

namespace vsr::settings {

// The "Options" values of the main window. Loading gives each missing or garbled
// value its first-start default.
void saveMainOptions(platform::SettingsStore& store, const MainOptions& options, const SettingsEnvironment& env);
void loadMainOptions(platform::SettingsStore& store, MainOptions& options, const SettingsEnvironment& env);

// The "Options" values of the settings dialog and the directory ignore list dialog
// (the ignore lists themselves are text files).
void saveDialogOptions(platform::SettingsStore& store, const DialogSettings& dialog);
void loadDialogOptions(platform::SettingsStore& store, DialogSettings& dialog, const SettingsEnvironment& env);

}  // namespace vsr::settings
