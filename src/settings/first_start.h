#pragma once
#include "settings/settings_environment.h"
#include "settings/stored_settings.h"

namespace vsr::settings {

// Pixels given for 96 dots per inch, on this screen (integer arithmetic).
int scaledPixels(int pixelsAt96, int pixelsPerInch);

// "Editor" without a stored value: the default editor program in double quotes.
std::string defaultEditorBase(const SettingsEnvironment& env);
// "EditorA" without a stored value: the "Editor" value followed by the full-name placeholder.
std::string editorCommandFrom(const std::string& editorBase);

// Every value as it is on a first start, when nothing is stored yet.
StoredSettings firstStartSettings(const SettingsEnvironment& env);

}  // namespace vsr::settings
